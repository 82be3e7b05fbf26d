// A message box on the screen: a single-framed box with a caption on its middle row.
#pragma once

class Console;
struct OverlayDrawing;

// Blanks the box's rectangle, frames it, writes the text (as glyphs) and repaints.
void drawMessageBox(Console& console, const OverlayDrawing& box);
