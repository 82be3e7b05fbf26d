#include "render/Overlay.h"

#include "core/Console.h"

#include <algorithm>

namespace {

void putGlyph(Console& console, int x, int y, std::uint8_t glyph) {
    console.moveCursor(x, y);
    const char ch = static_cast<char>(glyph);
    console.writeGlyphs(std::string_view(&ch, 1));
}

} // namespace

void clearRect(Console& console, MapCell topLeft, MapCell end) {
    for (int y = topLeft.y; y < end.y; ++y) {
        for (int x = topLeft.x; x < end.x; ++x) {
            console.moveCursor(x, y);
            console.writeChar(' ');
        }
    }
}

void drawFrame(Console& console, MapCell topLeft, MapCell end, FrameStyle style) {
    auto glyph = [style](FrameGlyph kind) { return frameGlyph(style, kind); };
    const int left = topLeft.x;
    const int top = topLeft.y;
    const int right = end.x;
    const int bottom = end.y;
    console.setAttribute(attrBrightWhite);
    putGlyph(console, left, top, glyph(FrameGlyph::TopLeft));
    putGlyph(console, right - 1, top, glyph(FrameGlyph::TopRight));
    putGlyph(console, left, bottom - 1, glyph(FrameGlyph::BottomLeft));
    putGlyph(console, right - 1, bottom - 1, glyph(FrameGlyph::BottomRight));
    for (int x = left + 1; x < right - 1; ++x) {
        putGlyph(console, x, top, glyph(FrameGlyph::Horizontal));
        putGlyph(console, x, bottom - 1, glyph(FrameGlyph::Horizontal));
    }
    for (int y = top + 1; y < bottom - 1; ++y) {
        putGlyph(console, left, y, glyph(FrameGlyph::Vertical));
        putGlyph(console, right - 1, y, glyph(FrameGlyph::Vertical));
    }
}

void drawTextBox(Console& console, CellRect rect, std::span<const std::string> lines) {
    const MapCell topLeft{rect.left, rect.top};
    const MapCell end{rect.right, rect.bottom};
    console.setAttribute(attrBrightWhite);
    clearRect(console, topLeft, end);
    drawFrame(console, topLeft, end, FrameStyle::Single);
    const int width = rect.right - rect.left - 4;
    int y = rect.top + 1;
    for (const std::string& line : lines) {
        if (y >= rect.bottom - 1 || width <= 0) {
            break;
        }
        console.moveCursor(rect.left + 2, y++);
        console.writeGlyphs(std::string_view(line).substr(0, static_cast<std::size_t>(width)));
    }
}

CellRect textBoxRect(std::span<const std::string> lines) {
    std::size_t width = 0;
    for (const std::string& line : lines) {
        width = std::max(width, line.size());
    }
    const int boxWidth = std::min(static_cast<int>(width) + 4, platform::screenWidth);
    const int boxHeight = std::min(static_cast<int>(lines.size()) + 2, platform::screenHeight);
    const int left = (platform::screenWidth - boxWidth) / 2;
    const int top = (platform::screenHeight - boxHeight) / 2;
    return CellRect{static_cast<std::uint8_t>(left), static_cast<std::uint8_t>(top),
                    static_cast<std::uint8_t>(left + boxWidth),
                    static_cast<std::uint8_t>(top + boxHeight)};
}
