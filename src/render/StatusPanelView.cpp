#include "render/StatusPanelView.h"

#include "core/Console.h"
#include "render/Overlay.h"
#include "world/StatusPanel.h"

#include <array>
#include <string_view>

namespace {

constexpr char glyph(FrameGlyph kind) {
    return static_cast<char>(frameGlyph(FrameStyle::Double, kind));
}

// A double line across the panel with a tee at each end, and a line of blanks inside it.
constexpr auto dividerLine = [] {
    std::array<char, panelWidth> line{};
    line.fill(glyph(FrameGlyph::Horizontal));
    line.front() = glyph(FrameGlyph::LeftTee);
    line.back() = glyph(FrameGlyph::RightTee);
    return line;
}();
constexpr std::string_view blankLine = "          ";
static_assert(blankLine.size() == panelWidth - 2);

std::string_view divider() { return {dividerLine.data(), dividerLine.size()}; }

} // namespace

void drawStatusPanelBox(Console& console, const PanelReading& reading) {
    const MapCell topLeft{panelRect.left, panelRect.top};
    const MapCell end{panelRect.right, panelRect.bottom};
    clearRect(console, topLeft, end);
    drawFrame(console, topLeft, end, FrameStyle::Double);
    drawStatusPanel(console, reading, false);
}

void drawStatusPanel(Console& console, const PanelReading& reading, bool refreshOnly) {
    const int x = panelRect.left;
    const int y = panelRect.top;
    console.moveCursor(x + 1, y + 1);
    console.writeLine(blankLine);
    console.moveCursor(x + 1, y + 1);
    console.print(" %02i:%02i:%02i", reading.hours, reading.minutes, reading.seconds);
    if (!refreshOnly) {
        console.moveCursor(x, y + 2);
        console.writeGlyphs(divider());
    }
    console.moveCursor(x + 1, y + 3);
    console.writeLine(blankLine);
    console.moveCursor(x + 1, y + 3);
    console.print("X:%02i Y:%02i", reading.playerX, reading.playerY);
    if (refreshOnly) {
        return;
    }
    console.moveCursor(x, y + 22);
    console.writeGlyphs(divider());
    console.writeText("\n");
    console.moveCursor(x + 1, y + 23);
    console.writeLine(versionTag);
}
