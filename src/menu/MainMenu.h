// The main menu: five items two rows apart, a cursor that moves by tap and hold and wraps around,
// and the choice that starts play or ends the program. The title screen draws it.
#pragma once

#include "core/GameState.h"

#include <array>
#include <cstdint>
#include <string_view>

class Controls;

inline constexpr std::array<std::string_view, 5> menuLabels = {
    "New Game ", "Load Game", "Options  ", "Credits  ", "Exit     ",
};
// The screen row of the first item; the items are two rows apart.
inline constexpr std::uint8_t menuFirstRow = 15;

class MainMenu {
public:
    // Called once per frame while the menu is shown; returns the next game state.
    GameState update(Controls& controls, double dt);

    // The row of the item under the cursor.
    std::uint8_t cursorRow() const { return cursorRow_; }

private:
    static constexpr double speed = 8.0; // rows a second, a key held

    std::uint8_t cursorRow_ = menuFirstRow;
    double cursorPos_ = menuFirstRow;
};
