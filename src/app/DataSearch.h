// Where the game finds its data: the first folder whose bin/world/ holds the start world's grid,
// looked for where a user expects it, and the config.ini read with it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct DataSearch {
    // The folders looked in, in order.
    std::vector<std::filesystem::path> tried;
    // The first of them that holds the start world's grid; empty when none does.
    std::filesystem::path found;
    // The config.ini to read: the user's own when it exists, else the one in the data folder.
    std::filesystem::path configFile;
};

// The folders a game looks in, in order: only `given` when there is one; else the working
// directory, the executable's folder, and ../share/tharvok beside the executable (an installed
// tree or an unpacked archive).
std::vector<std::filesystem::path>
dataFolderCandidates(const std::optional<std::filesystem::path>& given,
                     const std::filesystem::path& executableFolder);

// True when `folder`/bin/world/ holds the start world's grid.
bool holdsStartWorld(const std::filesystem::path& folder);

// Looks in the candidates for the start world's grid, and picks the config.ini.
DataSearch findData(const std::optional<std::filesystem::path>& given,
                    const std::filesystem::path& executableFolder);

// The user's own config.ini: $XDG_CONFIG_HOME/tharvok/config.ini, or ~/.config/tharvok/config.ini
// (%APPDATA%\tharvok\config.ini on Windows); empty when no such folder can be named.
std::filesystem::path userConfigFile();
