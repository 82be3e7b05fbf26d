// The game's modes. The main menu's update returns one as an integer, so the values are part of
// the interface.
#pragma once

#include <cstdint>

enum class GameState : std::int32_t {
    Menu = 0,
    Playing = 1,
    Quit = -1,
};
