// A loaded world: its 80 x 25 grid of characters, its links, and the bookkeeping of the overlays
// drawn over it.
#pragma once

#include "world/MapTypes.h"

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

// The directory of the world files, relative to the current directory.
#if defined(_WIN32)
inline constexpr std::string_view worldDirectory = "bin\\world\\";
#else
inline constexpr std::string_view worldDirectory = "bin/world/";
#endif
inline constexpr std::string_view startWorldStem = "cbd0c59d7beb6f252926f8b454738e97";
inline constexpr std::size_t maxWorldPathLength = 127;
inline constexpr char linkCellChar = '-';

class WorldMap {
public:
    WorldMap();
    ~WorldMap();
    WorldMap(const WorldMap&) = delete;
    WorldMap& operator=(const WorldMap&) = delete;

    // Loads the start world. False (with the message on the screen) when either file cannot be
    // opened.
    bool load();
    // Reads a link list file. False (with the message on the screen) when it cannot be opened;
    // the map then keeps its links and header words.
    bool loadInfo(const std::string& path);
    // Loads the world that link `index` leads to into this map. A file that cannot be opened
    // leaves what it would have replaced as it was (the message is on the screen).
    void loadLinked(std::uint8_t index);

    bool isBlocking(MapCell cell) const;
    // The caption of the first link on the cell, or null when there is none.
    const std::string* captionAt(MapCell cell) const;
    // Follows the first link on `cell`; on success `cell` is the arrival cell (inside the grid)
    // and the target world is loaded.
    bool enterLink(MapCell& cell);

    std::uint8_t at(MapCell cell) const { return cells[cell.y * mapWidth + cell.x]; }

    void drawAll();
    void restoreOverlay();

    std::int16_t cellCount = mapCellCount;
    std::uint8_t fullRedraw = 1;
    std::uint8_t linkCount = 0;
    std::uint8_t* cells = nullptr;
    std::string headerWord2;
    std::string headerWord1;
    MapLink* links = nullptr;
    std::uint8_t overlayOnMap = 0;
    std::deque<CellRect> redrawQueue;

private:
    const MapLink* findLink(MapCell cell, std::uint8_t* index) const;
};

// The path of a world file, or false when the stem cannot name a file of bin/world/ (it holds a
// directory separator, or the path would be longer than 127 characters). `path` is set either way
// so that the message can show it.
bool worldFilePath(std::string_view stem, std::string_view extension, std::string& path);

// Reads grid file bytes into `cells` (2000 bytes) the way the game always has: 80 bytes a row, the
// 81st byte of each row thrown away, at most 25 rows; CR LF counts as one line break. Cells the
// data does not reach keep what they held.
void readGrid(std::string_view data, std::uint8_t* cells);

// Reads a link list from the text of a .wif file.
struct WorldInfo {
    std::string headerWord1;
    std::string headerWord2;
    std::uint8_t linkCount = 0;
    MapLink* links = nullptr;
};
void readInfo(std::string_view data, WorldInfo& info);
