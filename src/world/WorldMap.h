// A loaded world: its 80 x 25 grid of characters, its links and its name, and what the cells mean
// for play (which block, which lead elsewhere).
#pragma once

#include "world/MapTypes.h"
#include "world/WorldFiles.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct WorldLoad;

inline constexpr char linkCellChar = '-';

// How following a link went.
enum class LinkJump {
    NoLink, // no link on the cell: nothing happened
    Failed, // the target world could not be read: nothing changed
    Done,   // the target world is loaded
};

// Where a link puts the player: its target cell, or the nearest cell inside the grid when the
// target lies outside it.
MapCell arrivalCell(const MapLink& link);

class WorldMap {
public:
    // Loads the start world from `dataFolder`; cells its grid file does not reach are blanks.
    // False, with the path of the file that could not be read, when either file cannot be read.
    // An `observer` is told of each file read, here and in the two below.
    bool load(const std::filesystem::path& dataFolder, std::string& failedPath,
              WorldFileObserver* observer = nullptr);
    // Loads the world that link `index` leads to into this map: its grid over the cells of this
    // one, its links and its name. Both files are read before either takes effect; false,
    // with the failed path and the map unchanged, when either cannot be read.
    bool loadLinked(const std::filesystem::path& dataFolder, std::uint8_t index,
                    std::string& failedPath, WorldFileObserver* observer = nullptr);

    bool isBlocking(MapCell cell) const;
    // The caption of the first link on the cell, or null when there is none.
    const std::string* captionAt(MapCell cell) const;
    // The first link on the cell, the only one the game ever shows or follows, and its index; null
    // when there is none.
    const MapLink* findLink(MapCell cell, std::uint8_t* index) const;
    // Follows the first link on `cell`. Done: `cell` is the arrival cell (inside the grid).
    // Failed: `failedPath` names the file that could not be read.
    LinkJump enterLink(const std::filesystem::path& dataFolder, MapCell& cell,
                       std::string& failedPath, WorldFileObserver* observer = nullptr);

    // Takes a world as read from its files (tools show a world they read themselves).
    void take(WorldLoad&& load);

    std::uint8_t at(MapCell cell) const { return cells_[cellIndex(cell)]; }
    const Grid& cells() const { return cells_; }
    const std::vector<MapLink>& links() const { return links_; }
    // The world's name: the two words its link list starts with, with a blank between.
    const std::string& name() const { return name_; }

private:
    static constexpr Grid blankGrid() {
        Grid grid{};
        grid.fill(' ');
        return grid;
    }

    Grid cells_ = blankGrid();
    std::string name_;
    std::vector<MapLink> links_;
};
