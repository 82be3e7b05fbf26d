// What a replay plays with here beside what its recording was made with: the data folder when the
// one it names is not on this machine, the worlds its messages are about by name, and the keys of
// a config.ini given in place of the one it carries.
#pragma once

#include "config/ConfigFile.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace replay {

// The data folder a replay reads.
struct DataChoice {
    std::filesystem::path folder;
    // The folders beside the program that were looked in, in order (none for --data, a script
    // without a data line, or a start world found in the recording's folder or the working
    // directory).
    std::vector<std::filesystem::path> beside;
    // `folder` is one of them: neither the recording's folder nor the working directory held the
    // start world.
    bool foundBeside = false;
};

// The folder `given` (--data) when there is one; else, for a script without a data line, the
// working directory; else the first of the recording's folder, the working directory, the
// program's folder and ../share/tharvok from it (the game's own search, never the player's config
// folder) that holds the start world, or the working directory when none does. `programFolder`
// empty: nothing is looked for beside the program.
DataChoice chooseDataFolder(const std::optional<std::string>& given,
                            const std::optional<std::string>& recorded,
                            const std::filesystem::path& programFolder);

// The name of the world whose file `path` is ("bin/world/STEM.wgf" or ".wif", relative to
// `dataFolder`), from the header of its link list there; empty when that cannot be read or holds
// no name.
std::string worldName(const std::filesystem::path& dataFolder, std::string_view path);

// A message about a world file, its place first as editors read it: "PATH: SEVERITY: NAME: what",
// without "NAME: " when the world has no name here. Bytes that are not printable are escaped.
std::string worldMessage(const std::filesystem::path& dataFolder, std::string_view path,
                         std::string_view severity, std::string_view what);

// What `given` binds otherwise than `recorded`, a line for each action that gets another key
// ("  move up, cMoveUp: Up arrow here, W when recorded\n"); empty when every key is the same.
std::string keysDiffering(const ConfigFile& recorded, const ConfigFile& given);

} // namespace replay
