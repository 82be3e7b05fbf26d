// Where the player can walk: a search over the map from one cell, in steps of one cell in the
// eight directions (two arrow keys at once go diagonally) onto cells that do not block.
#pragma once

#include "world/MapTypes.h"

#include <vector>

class WorldMap;

// Every cell's distance in steps from `from`, by cell index; -1 for a cell that cannot be reached.
// Without `crossLinks`, a link cell other than `from` is entered but not walked across.
std::vector<int> stepsOnFoot(const WorldMap& map, MapCell from, bool crossLinks);

// The cells that can be reached from `from`, by cell index.
std::vector<bool> reachOnFoot(const WorldMap& map, MapCell from, bool crossLinks);
