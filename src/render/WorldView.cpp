#include "render/WorldView.h"

#include "core/Console.h"
#include "render/MapView.h"
#include "render/MessageBox.h"
#include "render/StatusPanelView.h"
#include "world/Player.h"
#include "world/World.h"
#include "world/WorldMap.h"

namespace {

void drawOverlay(Console& console, const World& world, const OverlayDrawing& piece) {
    switch (piece.kind) {
    case OverlayDrawing::Kind::MessageBox:
        drawMessageBox(console, piece);
        break;
    case OverlayDrawing::Kind::PanelOpen:
        drawStatusPanelBox(console, *world.statusPanel, piece.reading);
        break;
    case OverlayDrawing::Kind::PanelRefresh:
        drawStatusPanel(console, *world.statusPanel, piece.reading, true);
        break;
    case OverlayDrawing::Kind::Restore:
        drawMapRect(console, *world.map, piece.rect);
        console.repaint();
        break;
    case OverlayDrawing::Kind::Repaint:
        console.repaint();
        break;
    }
}

} // namespace

void renderWorld(Console& console, World& world) {
    for (const OverlayDrawing& piece : world.overlays.drawing()) {
        drawOverlay(console, world, piece);
    }
    world.overlays.drawingDone();
    WorldMap& map = *world.map;
    Player& player = *world.player;
    if (map.fullRedraw) {
        drawMap(console, map);
        map.fullRedraw = 0;
    }
    if (player.moved || world.playerRedraw) {
        console.moveCursor(player.prevX, player.prevY);
        drawMapCell(console, map.at(MapCell{player.prevX, player.prevY}));
        console.moveCursor(player.x, player.y);
        console.setAttribute(attrBrightWhite);
        const char glyph = static_cast<char>(playerGlyph);
        console.writeGlyphs(std::string_view(&glyph, 1));
        world.playerRedraw = 0;
    }
    player.moved = 0;
}
