#include "render/MessageBox.h"

#include "core/Console.h"
#include "render/Overlay.h"

namespace {

std::string_view cut(std::string_view caption) { return caption.substr(0, maxCaptionLength); }

} // namespace

CellRect messageBoxRect(std::string_view caption, MapCell player) {
    const int n = static_cast<int>(cut(caption).size());
    const int textColumn = (platform::screenWidth - n) / 2;
    const int left = textColumn - 3;
    const int right = textColumn + n + 3;
    int top = platform::lastRow - messageBoxHeight;
    int bottom = platform::lastRow;
    if (player.y >= top - 1 && player.y <= platform::lastRow && player.x >= left - 1 &&
        player.x <= right) {
        top = 1;
        bottom = messageBoxHeight + 1;
    }
    return CellRect{static_cast<std::uint8_t>(left), static_cast<std::uint8_t>(top),
                    static_cast<std::uint8_t>(right), static_cast<std::uint8_t>(bottom)};
}

void drawMessageBox(Console& console, CellRect rect, std::string_view caption) {
    const MapCell topLeft{rect.left, rect.top};
    const MapCell end{rect.right, rect.bottom};
    clearRect(console, topLeft, end);
    drawFrame(console, topLeft, end, FrameStyle::Single);
    console.moveCursor(rect.left + 3, rect.top + messageBoxHeight / 2);
    console.writeGlyphs(cut(caption));
    console.writeText("\n");
}
