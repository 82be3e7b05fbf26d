// A screen as text, the one way every program shows it: 25 lines of 80 glyphs in UTF-8 (code page
// 437), the cells' foreground colours as hexadecimal digits, and the cursor's line.
#pragma once

#include "Platform.h"
#include "ScreenModel.h"

#include <array>
#include <cstdint>
#include <string>

namespace platform {

using ScreenCells = std::array<Cell, screenCellCount>;

// How glyphs are written: code page 437 as UTF-8, or ASCII look-alikes for a terminal that shows
// no UTF-8.
enum class GlyphSet : std::uint8_t { Utf8, Ascii };

// Row `y`'s glyphs, without a line break.
std::string screenRowText(const ScreenCells& cells, int y, GlyphSet glyphs = GlyphSet::Utf8);
// Every row's glyphs, each followed by a line feed.
std::string screenText(const ScreenCells& cells);
// Every row's foreground colours as hexadecimal digits, each row followed by a line feed.
std::string screenColours(const ScreenCells& cells);
// "cursor X Y visible" or "cursor X Y hidden", with a line feed.
std::string cursorText(int x, int y, bool visible);

} // namespace platform
