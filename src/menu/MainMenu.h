// The main menu: five items two rows apart, a cursor that moves by tap and hold and wraps around,
// and the choice that starts play or ends the program. The title screen draws it; what happened
// to it in a frame is recorded as events, as the world records play.
#pragma once

#include "core/GameState.h"
#include "menu/MenuEvents.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

class Controls;

inline constexpr std::array<std::string_view, 5> menuLabels = {
    "New Game ", "Load Game", "Options  ", "Credits  ", "Exit     ",
};
// The screen row of the first item; the items are two rows apart.
inline constexpr std::uint8_t menuFirstRow = 15;

// The item drawn on a screen row, if one is.
std::optional<std::size_t> menuItemOnRow(int row);

class MainMenu {
public:
    // A new frame: the last frame's events are forgotten.
    void startFrame() { events_.clear(); }
    // Called once per frame while the menu is shown; returns the next game state.
    GameState update(Controls& controls, double dt);

    // An item chosen by a click: the marker moves onto it and it is chosen as the use key would
    // choose it; returns the next game state.
    GameState choose(std::size_t item);

    // Where the marker stands. A held key and a long frame can leave it on a row between two
    // items, until a wrap puts it back on the first or last one.
    MenuMarker marker() const;
    // The item under the marker (0 is the first), or none while it lies between two items.
    std::optional<std::size_t> item() const;
    // What happened to the menu during this frame, in order.
    std::span<const MenuEvent> events() const { return events_.all(); }

private:
    static constexpr double speed = 8.0; // rows a second, a key held

    // The item under the marker is chosen: "New Game " plays, "Exit     " quits, the rest stay.
    GameState chooseMarked();

    std::uint8_t cursorRow_ = menuFirstRow;
    double cursorPos_ = menuFirstRow;
    MenuEvents events_;
};
