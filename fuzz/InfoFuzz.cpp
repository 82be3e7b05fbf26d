// A link list (.wif) loaded at start-up and through link jumps, on a grid whose every cell is a
// link cell, played through a tour with the game's rules checked after every frame.
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
        std::string grid;
        for (int y = 0; y < platform::screenHeight; ++y) {
            grid.append(platform::screenWidth, '-').push_back('\n');
        }
        made.write(fuzz::startGrid, grid);
        made.write(fuzz::otherGrid, grid);
        made.write(fuzz::otherInfo,
                   "Other world 1\nBack " + std::string(startWorldStem) + " 1 1 40 12\n");
        return true;
    }();
    static_cast<void>(laidOut);
    folder.write(fuzz::startInfo, std::string_view(reinterpret_cast<const char*>(data), size));
    fuzz::CheckedConsole console;
    HeadlessGame game(console, folder.path());
    if (game.start()) {
        fuzz::tour(game);
    }
    return 0;
}
