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

// The folder of the world files, relative to the data folder, as the messages show it (with the
// system's own directory separator).
inline constexpr char worldSeparator =
    static_cast<char>(std::filesystem::path::preferred_separator);
inline constexpr char worldDirectoryText[] = {'b', 'i', 'n', worldSeparator, 'w', 'o',
                                              'r', 'l', 'd', worldSeparator};
inline constexpr std::string_view worldDirectory{worldDirectoryText, sizeof worldDirectoryText};
inline constexpr std::string_view startWorldStem = "cbd0c59d7beb6f252926f8b454738e97";
inline constexpr std::string_view gridExtension = ".wgf";
inline constexpr std::string_view infoExtension = ".wif";
inline constexpr std::size_t maxWorldPathLength = 127;

// The grid's size: a row of bytes for each screen row, a byte for each cell.
inline constexpr int gridColumns = platform::screenWidth;
inline constexpr int gridRows = platform::screenHeight;
// The largest link count the game keeps (a count keeps its low 8 bits, as every number does).
inline constexpr int maxLinkCount = 255;

// The white space that ends a word of a link list.
bool isWordSpace(char c);
// An optional sign and decimal digits, of any length: what a link list's reader takes for a number
// (and says is too large when it is).
bool looksLikeNumber(std::string_view word);

// The path of a world file relative to the data folder, or false when the stem cannot name a file
// of bin/world/ (it holds a directory separator or a NUL byte, or the path would be longer than
// maxWorldPathLength). `path` is set either way so that a message can show it.
bool worldFilePath(std::string_view stem, std::string_view extension, std::string& path);

// What a reader met in a world file where the game makes of it something other than a row of
// the map or a field of its own, with where it stands. Tools turn these into messages.
enum class FileIssue : std::uint8_t {
    // The grid file (position: line and column of the byte):
    EmptyGrid,   // nothing to read: the cells keep what they held
    RowLength,   // a line of `count` bytes, not 80; the lines up to line `last` are shifted
    Unprintable, // `count` bytes of the line are not printable ASCII, the first is `word`
    FewRows,     // `count` lines, not 25: the rest keep what they held
    ExtraRows,   // `count` lines, not 25: the reader stops after line 25
    // The link list (position: where the word starts, or where the file ends):
    EmptyInfo,          // not even a header word
    HeaderCut,          // the file ends before the link count
    HeaderOneWord,      // `word` (a number) became the second header word, `rest` the count
    HeaderThreeWords,   // `word`, a third header word, became the count
    CountNotANumber,    // the count `word` is not a number: no links are read
    NotANumber,         // `field`'s `word` is not a number: it and every later field read as 0
    NumberTooLarge,     // `field`'s `word` does not fit in 32 bits: the same
    NumberCut,          // `field`'s `word` starts with the number `number`; `rest` is read next
    OutOfRange,         // `field`'s `number` is outside 0 to `last`; the game keeps `kept`
    CountBeyondRecords, // `count` links of `number` announced are whole; `field` is where the
                        // file ends inside the next one (Caption when it ends between links)
    RecordsBeyondCount, // `count` more whole links than the count `number` announces
    TrailingWords,      // words after the last link, the first of them `word`
};

// The parts of a link list: the header, then six fields a link.
enum class InfoPart : std::uint8_t {
    HeaderWord1,
    HeaderWord2,
    LinkCount,
    Caption,
    Target,
    X,
    Y,
    TargetX,
    TargetY,
};

// One thing a reader met; which of the values below mean something depends on the issue.
struct FileFinding {
    FileIssue issue = FileIssue::EmptyGrid;
    FilePosition position;
    InfoPart field = InfoPart::HeaderWord1;
    std::size_t link = 0; // the link (from 1) whose field it is; 0 for the header or the grid
    std::int64_t number = 0;
    std::int64_t count = 0;
    int last = 0;
    int kept = 0;
    std::string word;
    std::string rest;
};

// Where the grid reader took each cell from (line 0: the file did not reach the cell), and what
// it met that an author would not mean. Tools fill one; the game passes none.
struct GridSource {
    std::array<FilePosition, platform::screenCellCount> cells{};
    std::vector<FileFinding> findings;
};

// Reads grid file bytes into `cells`: 80 bytes a row, the 81st byte of each row thrown away, at
// most 25 rows; CR LF counts as one line break. Cells the data does not
// reach keep what they held. With a `source`, also says where each cell came from and what the
// reader met.
void readGrid(std::string_view data, Grid& cells, GridSource* source = nullptr);

// The contents of a link list: two header words and the links. Records that the count announces
// but the file does not supply, and fields that do not parse (with every field after them), are
// empty words and 0 numbers.
struct WorldInfo {
    std::string firstNameWord;
    std::string secondNameWord;
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
    InfoField firstNameWord;
    InfoField secondNameWord;
    InfoField linkCount;
    // One entry per record the count announced and the reader tried, in file order.
    std::vector<std::array<InfoField, linkFieldCount>> links;
    // Where the first word after the last field read stands (the reader stops there and ignores
    // the rest); Missing when nothing follows or reading failed.
    InfoField rest;
    // What the reader met that an author would not mean, in file order. A field that failed
    // ends the list: everything after it follows from it.
    std::vector<FileFinding> findings;
};

// With a `source`, also says where each field came from and what the reader met.
WorldInfo readInfo(std::string_view data, InfoSource* source = nullptr);

// Told of each world file the loader reads, at the moment it reads it: its path relative to the
// data folder (as the messages show it) and its bytes, or that it could not be read. A recording
// keeps their fingerprints.
class WorldFileObserver {
public:
    virtual void worldFileRead(std::string_view path, std::string_view bytes) = 0;
    // A file that a world names but that could not be read (missing, not a file, too large).
    virtual void worldFileMissing(std::string_view path) = 0;

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
