// Which keys do each of the game's actions now, as the help box and --help show them: one line
// an action, in the order of the help lines of the table of actions.
#pragma once

#include "core/Controls.h"

#include <string>
#include <vector>

class World;

// The keys of an action's help line as `keys` binds them: "E, Enter", or "not bound".
std::string actionKeys(const Action& action, const KeyCodes& keys);

// The lines of the help box: each action with its keys, then in play (`world` not null) the
// world's name and the player's cell.
std::vector<std::string> helpLines(const KeyCodes& keys, const World* world);
