#include "app/Controls.h"
#include "app/Game.h"
#include "menu/MainMenu.h"
#include "world/Player.h"
#include "world/StatusPanel.h"
#include "world/World.h"
#include "world/WorldMap.h"

namespace {

// Leaving play with the panel up closes it without drawing (the title screen covers the map), so
// the panel is never left open with its key up.
void dropPanel(World& world) {
    StatusPanel& panel = *world.statusPanel;
    if (panel.shown) {
        panel.shown = 0;
        if (!world.map->redrawQueue.empty()) {
            world.map->redrawQueue.pop_back();
        }
    }
    world.overlayShown = 0;
}

// The panel opens when its key goes down and closes when it comes up; a press or release that
// would not change that (one made while the menu was up) is just consumed.
void setPanel(World& world, bool open) {
    StatusPanel& panel = *world.statusPanel;
    if (static_cast<bool>(panel.shown) == open) {
        return;
    }
    world.overlayShown = open ? 1 : 0;
    panel.toggle(*world.map);
    if (!open) {
        world.playerRedraw = 1;
    }
}

} // namespace

void Game::handleCommands() {
    if (!inputChanged || state != GameState::Playing) {
        return;
    }
    if (controls->pressed(KeySlot::Escape)) {
        state = GameState::Menu;
        menu->redraw = true;
        dropPanel(*world);
        world->map->fullRedraw = 1;
        world->player->moved = 1;
        return;
    }
    if (controls->pressed(KeySlot::Use)) {
        world->use();
        return;
    }
    if (controls->released(KeySlot::Rest)) {
        return;
    }
    if (controls->released(KeySlot::ToggleRightOverlay)) {
        setPanel(*world, false);
        return;
    }
    if (controls->pressed(KeySlot::ToggleRightOverlay)) {
        setPanel(*world, true);
        return;
    }
    if (controls->released(KeySlot::Save)) {
        return;
    }
    controls->released(KeySlot::Load);
}
