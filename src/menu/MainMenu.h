// The main menu: five items two rows apart, a cursor that moves by tap and hold and wraps around,
// and the choice that starts play or ends the program. The title screen draws it.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

class Controls;

inline constexpr std::array<std::string_view, 5> menuLabels = {
    "New Game ", "Load Game", "Options  ", "Credits  ", "Exit     ",
};

class MainMenu {
public:
    // Called once per frame while the menu is shown; returns the next game state (0 menu,
    // 1 playing, -1 quit).
    int update(Controls& controls, double dt);

    bool redraw = true;
    std::uint8_t itemColumn = 35;
    std::uint8_t firstRow = 15;
    std::uint8_t markerColumn = 33;
    std::uint8_t cursorRow = 15;
    double speed = 8.0;
    double cursorPos = 15.0;
};
