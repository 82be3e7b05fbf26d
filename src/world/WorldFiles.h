// The world files: a grid ("STEM.wgf", 25 rows of 80 bytes) and a link list ("STEM.wif") in the
// folder bin/world/ of the data folder. Loading reads both files before anything takes effect and
// returns what it read, or the path of the file that could not be read; it shows nothing.
#pragma once

#include "world/MapTypes.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The folder of the world files, relative to the data folder, as the messages show it.
#if defined(_WIN32)
inline constexpr std::string_view worldDirectory = "bin\\world\\";
#else
inline constexpr std::string_view worldDirectory = "bin/world/";
#endif
inline constexpr std::string_view startWorldStem = "cbd0c59d7beb6f252926f8b454738e97";
inline constexpr std::string_view gridExtension = ".wgf";
inline constexpr std::string_view infoExtension = ".wif";
inline constexpr std::size_t maxWorldPathLength = 127;

// The path of a world file relative to the data folder, or false when the stem cannot name a file
// of bin/world/ (it holds a directory separator or a NUL byte, or the path would be longer than
// 127 characters). `path` is set either way so that a message can show it.
bool worldFilePath(std::string_view stem, std::string_view extension, std::string& path);

// Reads grid file bytes into `cells` the way the game always has: 80 bytes a row, the 81st byte of
// each row thrown away, at most 25 rows; CR LF counts as one line break. Cells the data does not
// reach keep what they held.
void readGrid(std::string_view data, Grid& cells);

// The contents of a link list: two header words and the links. Records that the count announces
// but the file does not supply, and fields that do not parse (with every field after them), are
// empty words and 0 numbers.
struct WorldInfo {
    std::string headerWord1;
    std::string headerWord2;
    std::vector<MapLink> links;
};
WorldInfo readInfo(std::string_view data);

// A world as read from its two files.
struct WorldLoad {
    Grid cells{};
    WorldInfo info;
    // The path (relative to the data folder) of the first file that could not be read, grid
    // first; empty when both were read.
    std::string failedPath;
};

// Reads both files of the world `stem` from `dataFolder`; the grid is laid over `under` (a grid
// file that is short leaves those cells as they were). False when a file cannot be read (what is
// not a regular file, or is larger than 1 MiB, cannot).
bool loadWorld(const std::filesystem::path& dataFolder, std::string_view stem, const Grid& under,
               WorldLoad& load);
