// A grid file (.wgf) loaded at start-up and through link jumps, played through a tour with the
// game's rules checked after every frame.
#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::DataFolder folder;
    static const bool laidOut = [] {
        const fuzz::DataFolder& made = folder;
        made.write(configFileName, fuzz::playConfig);
        // Links on the start cell and around it: to this world, to a world that is not there, and
        // one whose arrival lies outside the grid.
        made.write(fuzz::startInfo, "Grid fuzz 4\n"
                                    "Here cbd0c59d7beb6f252926f8b454738e97 40 12 41 12\n"
                                    "There cbd0c59d7beb6f252926f8b454738e97 41 12 40 13\n"
                                    "Nowhere 0f0f0f0f0f0f0f0f0f0f0f0f0f0f0f0f 40 13 1 1\n"
                                    "Far cbd0c59d7beb6f252926f8b454738e97 39 12 200 200\n");
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
