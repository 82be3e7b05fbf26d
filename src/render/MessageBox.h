// A message box on the screen: a single-framed box, five rows high, with a caption on its middle
// row, at the bottom of the screen or, when the player stands there, at the top.
#pragma once

#include "world/MapTypes.h"

#include <cstddef>
#include <string_view>

class Console;

// A caption longer than this is shown cut; the box then spans the whole width.
inline constexpr std::size_t maxCaptionLength = 74;
inline constexpr int messageBoxHeight = 5;

// Where the box for `caption` goes: centred on the bottom rows, or on the top rows when the player
// stands on the box, right next to it or in the row just above it.
CellRect messageBoxRect(std::string_view caption, MapCell player);
// Blanks the box's rectangle, frames it and writes the caption (cut, as glyphs) on its middle row.
void drawMessageBox(Console& console, CellRect rect, std::string_view caption);
