#include "app/Console.h"
#include "render/Overlay.h"
#include "world/StatusPanel.h"
#include "world/WorldMap.h"

void StatusPanel::showMessage(std::string_view caption, MapCell playerCell, WorldMap& map) {
    if (caption.size() > maxCaptionLength) {
        caption = caption.substr(0, maxCaptionLength);
    }
    const int n = static_cast<int>(caption.size());
    const int h = messageArea.height;
    const int textColumn = (mapWidth - n) / 2;
    const int left = textColumn - 3;
    const int right = textColumn + n + 3;
    int top = mapHeight - 1 - h;
    int bottom = mapHeight - 1;
    // Out of the player's way: to the top when the player stands on the box, right next to it or
    // in the row below it.
    const int px = playerCell.x;
    const int py = playerCell.y;
    if (py >= top - 1 && py <= mapHeight - 1 && px >= left - 1 && px <= right) {
        top = 1;
        bottom = h + 1;
    }
    const int textRow = top + h / 2;
    const MapCell topLeft{static_cast<std::uint8_t>(left), static_cast<std::uint8_t>(top)};
    const MapCell end{static_cast<std::uint8_t>(right), static_cast<std::uint8_t>(bottom)};
    map.redrawQueue.push_back(CellRect{topLeft.x, topLeft.y, end.x, end.y});
    map.overlayOnMap = 1;
    clearRect(topLeft, end);
    drawFrame(topLeft, end, FrameStyle::Single);
    Console& console = Console::instance();
    console.moveCursor(textColumn, textRow);
    console.writeGlyphs(caption);
    console.writeText("\n");
    console.repaint();
}
