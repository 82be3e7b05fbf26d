#include "render/Overlay.h"

#include "core/Console.h"

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
    console.repaint();
}
