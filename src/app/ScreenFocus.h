// What a view smaller than the screen must keep in sight, worked out from what the game drew: the
// platform's terminal view follows it, and knows nothing of the game.
#pragma once

#include "core/GameState.h"
#include "platform/Focus.h"
#include "world/MapTypes.h"

#include <cstddef>
#include <string_view>

class WorldView;

// The focus of a frame just drawn. In play: the player's cell where its glyph shows, and the
// boxes whole over the map (a message, the panel, the help), newest first. On the title screen:
// the help box while it is open, and the title's text, whose lowest rows are the menu's. At the
// farewell: its line, `farewell`.
platform::Focus frameFocus(GameState state, const WorldView& worldView, const CellRect* helpBox,
                           std::string_view farewell);

// The focus of text written from the screen's left edge: `rows` lines from row `top`, the longest
// `longest` bytes (cut at the screen's edge).
platform::Focus textFocus(int top, int rows, std::size_t longest);
