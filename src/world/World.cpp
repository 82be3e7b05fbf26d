#include "world/World.h"

#include "core/Controls.h"
#include "world/DayClock.h"
#include "world/Player.h"
#include "world/StatusPanel.h"
#include "world/WorldMap.h"

World::World() = default;

World::~World() {
    statusPanel.reset();
    map.reset();
    player.reset();
    clock.reset();
}

bool World::init(const std::filesystem::path& dataFolder, platform::LocalTime localTime,
                 std::string& failedPath, WorldFileObserver* observer) {
    dataFolder_ = dataFolder;
    files_ = observer;
    statusPanel = std::make_unique<StatusPanel>();
    map = std::make_unique<WorldMap>();
    if (!map->load(dataFolder_, failedPath, files_)) {
        return false;
    }
    clock = std::make_unique<DayClock>(localTime.hour * 3600.0 + localTime.minute * 60.0 +
                                       localTime.second);
    player = std::make_unique<Player>(playerStartX, playerStartY);
    // The panel shows the true time and cell even when it is opened before the first tick.
    statusPanel->updateShown(*clock, *player);
    return true;
}

void World::tick(Controls& controls, double dt) {
    if (!overlayShown()) {
        player->update(controls, dt);
        if (player->moved) {
            const MapCell cell{player->x, player->y};
            if (cell.y >= platform::screenHeight || cell.x >= platform::screenWidth ||
                map->isBlocking(cell)) {
                player->x = player->prevX;
                player->posX = player->prevX;
                player->y = player->prevY;
                player->posY = player->prevY;
                player->moved = 0;
            } else if (map->at(cell) == linkCellChar) {
                // A "-" without a link shows nothing and restores nothing.
                if (const std::string* caption = map->captionAt(cell)) {
                    overlays.showMessage(*caption, cell, statusPanel->messageArea.height);
                }
            } else if (overlays.onMap()) {
                overlays.restore();
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
    overlays.refreshPanel(statusPanel->reading());
}

void World::use() {
    if (overlayShown()) {
        return;
    }
    MapCell cell{player->x, player->y};
    if (map->at(cell) != linkCellChar) {
        return;
    }
    std::string failedPath;
    switch (map->enterLink(dataFolder_, cell, failedPath, files_)) {
    case LinkJump::NoLink:
        return;
    case LinkJump::Failed:
        // In place of the link's caption box, so that pressing again never piles boxes up.
        overlays.restore();
        failedPath.append(missingFileMessage);
        overlays.showMessage(failedPath, cell, statusPanel->messageArea.height);
        return;
    case LinkJump::Done:
        overlays.afterJump();
        player->placeAt(cell.x, cell.y);
        player->moved = 1;
        playerRedraw = 1;
        return;
    }
}

void World::setPanel(bool open) {
    if (overlayShown() == open) {
        return;
    }
    if (open) {
        // The panel shows what it held from the last tick; this frame's tick has not run yet.
        overlays.openPanel(statusPanel->rect(), statusPanel->reading());
    } else {
        overlays.closePanel();
        playerRedraw = 1;
    }
}

void World::coverMap(CellRect rect) { overlays.cover(rect); }

void World::uncoverMap() {
    overlays.restore();
    playerRedraw = 1;
}

void World::leavePlay() {
    overlays.dropPanel();
    map->fullRedraw = 1;
    player->moved = 1;
}
