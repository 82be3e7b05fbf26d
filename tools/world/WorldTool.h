// tharvok-world: tools for world authors over a data folder, with the game's own loaders.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace worldtool {

inline constexpr int exitClean = 0;
inline constexpr int exitProblems = 1;
inline constexpr int exitUsage = 2;

// What the program knows of the machine it runs on.
struct ToolSetting {
    // Whether standard output shows ANSI colours (show draws in colour then, unless --plain).
    bool colour = false;
    // The game's own data folder, which init copies; empty when none was found.
    std::filesystem::path shippedData;
    // The player's own config.ini, which the game reads in place of a data folder's; empty when
    // there is none.
    std::filesystem::path userConfig;
};

// The whole program: `args` without the program's name.
int worldMain(const std::vector<std::string>& args, const ToolSetting& setting, std::ostream& out,
              std::ostream& err);

} // namespace worldtool
