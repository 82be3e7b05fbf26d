// The world files: a grid ("STEM.wgf", 25 rows of 80 bytes) and a link list ("STEM.wif") in the
// folder bin/world/ of the data folder. Loading reads both files before anything takes effect and
// returns what it read, or the path of the file that could not be read; it shows nothing.
#pragma once

#include "core/FilePosition.h"
#include "world/MapTypes.h"

#include <array>
#include <cstddef>
#include <cstdint>
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

// Where the grid reader took each cell from (line 0: the file did not reach the cell). Tools fill
// one to tell an author where a cell came from; the game passes none.
struct GridSource {
    std::array<FilePosition, platform::screenCellCount> cells{};
};

// Reads grid file bytes into `cells` the way the game always has: 80 bytes a row, the 81st byte of
// each row thrown away, at most 25 rows; CR LF counts as one line break. Cells the data does not
// reach keep what they held. With a `source`, also says where each cell came from.
void readGrid(std::string_view data, Grid& cells, GridSource* source = nullptr);

// The contents of a link list: two header words and the links. Records that the count announces
// but the file does not supply, and fields that do not parse (with every field after them), are
// empty words and 0 numbers.
struct WorldInfo {
    std::string headerWord1;
    std::string headerWord2;
    std::vector<MapLink> links;
};

// How the reader fared with one field of a link list.
enum class FieldRead : std::uint8_t {
    Read,    // read as it stands
    Failed,  // not a number where one belongs (or one beyond 32 bits): it and every later field
             // read as empty words and 0 numbers
    Missing, // the file ended first, or an earlier field failed
};

// One field of a link list as the reader met it.
struct InfoField {
    FieldRead state = FieldRead::Missing;
    FilePosition position;   // where its word starts (Read, Failed) or where the file ends
    std::size_t offset = 0;  // the same, as a byte offset into the file
    std::size_t length = 0;  // bytes the reader took for it (Read); a number can stop mid-word
    std::int32_t number = 0; // a number as written, before only its low 8 bits are kept
};

// The fields of a link record, in file order.
enum class LinkField : std::uint8_t { Caption, Target, X, Y, TargetX, TargetY };
inline constexpr std::size_t linkFieldCount = 6;

// Where the reader took each field of a link list from. Tools fill one to tell an author what
// the game made of the file; the game passes none.
struct InfoSource {
    InfoField headerWord1;
    InfoField headerWord2;
    InfoField linkCount;
    // One entry per record the count announced and the reader tried, in file order.
    std::vector<std::array<InfoField, linkFieldCount>> links;
    // Where the first word after the last field read stands (the reader stops there and ignores
    // the rest); Missing when nothing follows or reading failed.
    InfoField rest;
};

// With a `source`, also says where each field came from.
WorldInfo readInfo(std::string_view data, InfoSource* source = nullptr);

// Told of each world file the loader reads, at the moment it reads it: its path relative to the
// data folder (as the messages show it) and its bytes. A recording keeps their fingerprints.
class WorldFileObserver {
public:
    virtual void worldFileRead(std::string_view path, std::string_view bytes) = 0;

protected:
    ~WorldFileObserver() = default;
};

// A world as read from its two files.
struct WorldLoad {
    Grid cells{};
    WorldInfo info;
    // The path (relative to the data folder) of the first file that could not be read, grid
    // first; empty when both were read.
    std::string failedPath;
};

// A world's two files as they were read and where each cell and field came from, for tools that
// tell an author what the game makes of a world.
struct WorldSource {
    std::string gridData;
    std::string infoData;
    GridSource grid;
    InfoSource info;
};

// Reads both files of the world `stem` from `dataFolder`; the grid is laid over `under` (a grid
// file that is short leaves those cells as they were). False when a file cannot be read (what is
// not a regular file, or is larger than 1 MiB, cannot). With a `source`, also keeps the files'
// bytes and where everything came from; an `observer` is told of each file read.
bool loadWorld(const std::filesystem::path& dataFolder, std::string_view stem, const Grid& under,
               WorldLoad& load, WorldSource* source = nullptr,
               WorldFileObserver* observer = nullptr);
