#include "render/StatusPanelView.h"

#include "core/Console.h"
#include "render/Overlay.h"
#include "world/StatusPanel.h"

void drawStatusPanelBox(Console& console, const StatusPanel& panel, const PanelReading& reading) {
    clearRect(console, panel.panelOrigin, panel.panelEnd);
    drawFrame(console, panel.panelOrigin, panel.panelEnd, FrameStyle::Double);
    drawStatusPanel(console, panel, reading, false);
}

void drawStatusPanel(Console& console, const StatusPanel& panel, const PanelReading& reading,
                     bool refreshOnly) {
    const int x = panel.panelOrigin.x;
    const int y = panel.panelOrigin.y;
    console.moveCursor(x + 1, y + 1);
    console.writeLine(panel.blankLine);
    console.moveCursor(x + 1, y + 1);
    console.print(" %02i:%02i:%02i", reading.hours, reading.minutes, reading.seconds);
    if (!refreshOnly) {
        console.moveCursor(x, y + 2);
        console.writeGlyphs(panel.dividerLine);
    }
    console.moveCursor(x + 1, y + 3);
    console.writeLine(panel.blankLine);
    console.moveCursor(x + 1, y + 3);
    console.print("X:%02i Y:%02i", reading.playerX, reading.playerY);
    if (refreshOnly) {
        return;
    }
    console.moveCursor(x, y + 22);
    console.writeGlyphs(panel.dividerLine);
    console.writeText("\n");
    console.moveCursor(x + 1, y + 23);
    console.writeLine(versionTag);
}
