// Boxes drawn over the map: blanking a rectangle and framing it. Rectangles are given by their
// top-left cell and the cell just past their lower-right corner.
#pragma once

#include "core/FrameGlyphs.h"
#include "world/MapTypes.h"

#include <span>
#include <string>

class Console;

// Writes blanks, in the attribute in force, over the rectangle.
void clearRect(Console& console, MapCell topLeft, MapCell end);
// Draws the rectangle's frame in bright white; the inside is untouched.
void drawFrame(Console& console, MapCell topLeft, MapCell end, FrameStyle style);
// A box of text: the rectangle blanked and framed in single lines, and the lines written inside
// it from its second row, two columns in, as glyphs (cut at the frame).
void drawTextBox(Console& console, CellRect rect, std::span<const std::string> lines);
// Where a box of these lines goes: centred on the screen, two columns wider than the longest
// line on each side and a row higher at the top and the bottom (at most the whole screen).
CellRect textBoxRect(std::span<const std::string> lines);
