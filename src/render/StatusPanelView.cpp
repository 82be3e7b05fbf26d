#include "app/Console.h"
#include "render/Overlay.h"
#include "world/StatusPanel.h"
#include "world/WorldMap.h"

void StatusPanel::toggle(WorldMap& map) {
    if (shown) {
        map.restoreOverlay();
        shown = 0;
        return;
    }
    clearRect(panelOrigin, panelEnd);
    map.redrawQueue.push_back(CellRect{panelOrigin.x, panelOrigin.y, panelEnd.x, panelEnd.y});
    map.overlayOnMap = 1;
    drawFrame(panelOrigin, panelEnd, FrameStyle::Double);
    draw(false);
    shown = 1;
}

void StatusPanel::draw(bool refreshOnly) {
    Console& console = Console::instance();
    const int x = panelOrigin.x;
    const int y = panelOrigin.y;
    console.moveCursor(x + 1, y + 1);
    console.writeLine(blankLine);
    console.moveCursor(x + 1, y + 1);
    console.print(" %02i:%02i:%02i", hours, minutes, seconds);
    if (!refreshOnly) {
        console.moveCursor(x, y + 2);
        console.writeGlyphs(dividerLine);
    }
    console.moveCursor(x + 1, y + 3);
    console.writeLine(blankLine);
    console.moveCursor(x + 1, y + 3);
    console.print("X:%02i Y:%02i", playerX, playerY);
    if (refreshOnly) {
        return;
    }
    console.moveCursor(x, y + 22);
    console.writeGlyphs(dividerLine);
    console.writeText("\n");
    console.moveCursor(x + 1, y + 23);
    console.writeLine(versionTag);
}
