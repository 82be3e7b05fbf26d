// The few arguments every program is expected to take: --help, --version, --data DIR. Without
// arguments the game plays from the first data folder that holds the worlds.
#pragma once

#include "core/Controls.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct DataSearch;

struct CommandLine {
    bool help = false;
    bool version = false;
    // The data folder given with --data: the only one looked in.
    std::optional<std::filesystem::path> data;
    // Where --record writes the game as a replay script.
    std::optional<std::filesystem::path> record;
    // --overwrite: --record may replace a file that exists.
    bool overwrite = false;
    // --speak: the game is heard, its sentences written as lines, its screen drawn nowhere.
    bool speak = false;
};

inline constexpr int exitUsage = 2;

// Reads the arguments (without the program's name). False with a message naming the argument
// when one is unknown or lacks its value.
bool parseCommandLine(std::span<const std::string> args, CommandLine& line, std::string& error);

// The version, as the build defines it once ("1.0.0").
std::string_view gameVersion();
// "tharvok 1.0.0".
std::string versionText();

// What --help prints: how to start the game, its options, the keys as `keys` binds them (or,
// with `configIgnored`, why the game ignores the config.ini), and the data folders in the order
// they are looked in (the one in use marked).
std::string helpText(const DataSearch& search, const KeyCodes& keys,
                     const std::string& configIgnored = {});
