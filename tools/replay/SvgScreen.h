// A console screen as a picture: a self-contained SVG of the 80 x 25 cells (monospace cells, the
// console's 16 colours, code page 437 glyphs as Unicode, frame lines drawn as lines so that boxes
// close), for documentation and bug reports.
#pragma once

#include "platform/Platform.h"
#include "platform/ScreenModel.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace replay {

using ScreenCells = std::array<platform::Cell, platform::screenCellCount>;

// The SVG text of a screen.
std::string svgScreen(const ScreenCells& cells);

// Writes the screen to `file`; false with a message when it cannot be written.
bool writeSvgScreen(const std::filesystem::path& file, const ScreenCells& cells,
                    std::string& error);

} // namespace replay
