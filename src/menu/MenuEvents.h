// What happened to the main menu during one frame, in the order it happened: the record that the
// title screen draws from and that speech follows. The menu writes it; a frame holds at most a
// move of the marker and a choice, so the list has a fixed size and never allocates.
#pragma once

#include "core/EventList.h"

#include <cstddef>
#include <cstdint>

// Where the menu's marker stands: on the item `item` (0 is the first), or, when `between`, on
// the row between that item and the next one.
struct MenuMarker {
    std::size_t item = 0;
    bool between = false;
};

struct MenuEvent {
    enum class Kind : std::uint8_t {
        MarkerMoved, // the marker ended the frame on another row than it began it: at `marker`
        Chosen,      // the item at `marker` was chosen (a choice between two items is none)
    };
    Kind kind = Kind::MarkerMoved;
    MenuMarker marker{};
};

// A frame holds at most a move of the marker and a choice.
using MenuEvents = EventList<MenuEvent, 2>;
