// The game's modes: the main menu, play, and the farewell after a quit. The menu's update says
// which comes next.
#pragma once

#include <cstdint>

enum class GameState : std::int32_t {
    Menu = 0,
    Playing = 1,
    Quit = -1,
};
