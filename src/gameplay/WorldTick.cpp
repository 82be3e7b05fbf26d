#include "app/Controls.h"
#include "world/DayClock.h"
#include "world/Player.h"
#include "world/StatusPanel.h"
#include "world/World.h"
#include "world/WorldMap.h"

void World::tick(Controls& controls, double dt) {
    if (!overlayShown) {
        player->update(controls, dt);
        if (player->moved) {
            const MapCell cell{player->x, player->y};
            if (cell.y >= mapHeight || cell.x >= mapWidth || map->isBlocking(cell)) {
                player->x = player->prevX;
                player->posX = player->prevX;
                player->y = player->prevY;
                player->posY = player->prevY;
                player->moved = 0;
            } else if (map->at(cell) == linkCellChar) {
                // A "-" without a link shows nothing and restores nothing.
                if (const std::string* caption = map->captionAt(cell)) {
                    statusPanel->showMessage(*caption, cell, *map);
                }
            } else if (map->overlayOnMap) {
                map->restoreOverlay();
            }
        }
    }
    clock->advance(dt);
    statusPanel->updateShown(*clock, *player);
    statusPanel->refreshCountdown -= dt;
    if (statusPanel->refreshCountdown > 0) {
        return;
    }
    statusPanel->refreshCountdown = statusPanel->refreshPeriod;
    if (statusPanel->shown) {
        statusPanel->draw(true);
    }
}
