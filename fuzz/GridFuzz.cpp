// A grid file (.wgf) loaded at start-up and through link jumps, played through a tour with the
// game's rules checked after every frame.
#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::DataFolder folder;
    static const bool laidOut = [] {
        const fuzz::DataFolder& made = folder;
        made.write(configFileName, fuzz::playConfig);
        // Links on the start cell and around it: to this world, to a world that is not there, and
        // one whose arrival lies outside the grid.
        const std::string start(startWorldStem);
        std::string links = "Grid fuzz 4\n";
        links += "Here " + start + " 40 12 41 12\n";
        links += "There " + start + " 41 12 40 13\n";
        links += "Nowhere 0f0f0f0f0f0f0f0f0f0f0f0f0f0f0f0f 40 13 1 1\n";
        links += "Far " + start + " 39 12 200 200\n";
        made.write(fuzz::startInfo, links);
        return true;
    }();
    static_cast<void>(laidOut);
    folder.write(fuzz::startGrid, std::string_view(reinterpret_cast<const char*>(data), size));
    fuzz::CheckedConsole console;
    HeadlessGame game(console, folder.path());
    if (game.start()) {
        fuzz::tour(game);
    }
    return 0;
}
