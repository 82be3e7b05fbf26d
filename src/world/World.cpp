#include "world/World.h"

#include "platform/Platform.h"
#include "world/DayClock.h"
#include "world/Player.h"
#include "world/StatusPanel.h"
#include "world/WorldMap.h"

World::~World() {
    delete statusPanel;
    delete map;
    delete player;
    delete clock;
}

bool World::init() {
    statusPanel = new StatusPanel();
    map = new WorldMap();
    if (!map->load()) {
        return false;
    }
    platform::LocalTime local;
    if (platform::Clock* wallClock = platform::services().clock) {
        local = wallClock->localTime();
    }
    clock = new DayClock(local.hour * 3600.0 + local.minute * 60.0 + local.second);
    player = new Player(playerStartX, playerStartY);
    // The panel shows the true time and cell even when it is opened before the first tick.
    statusPanel->updateShown(*clock, *player);
    return true;
}

void World::use() {
    if (overlayShown) {
        return;
    }
    MapCell cell{player->x, player->y};
    if (map->at(cell) != linkCellChar) {
        return;
    }
    if (!map->enterLink(cell)) {
        return;
    }
    player->placeAt(cell.x, cell.y);
    player->moved = 1;
    playerRedraw = 1;
}
