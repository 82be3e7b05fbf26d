#include "world/World.h"

#include "core/Controls.h"

namespace {

PlayEvent happened(PlayEvent::Kind kind, MapCell cell = {}, MapCell from = {}) {
    PlayEvent event;
    event.kind = kind;
    event.cell = cell;
    event.from = from;
    return event;
}

} // namespace

bool World::init(const std::filesystem::path& dataFolder, platform::LocalTime localTime,
                 std::string& failedPath, WorldFileObserver* observer) {
    dataFolder_ = dataFolder;
    files_ = observer;
    if (!map_.load(dataFolder_, failedPath, files_)) {
        return false;
    }
    clock_ = DayClock(localTime.hour * 3600.0 + localTime.minute * 60.0 + localTime.second);
    player_.placeAt(playerStart);
    // The panel shows the true time and cell even when it is opened before the first tick.
    panel_.update(clock_, player_);
    return true;
}

void World::tick(Controls& controls, double dt) {
    if (!panelShown_ && player_.update(controls, dt)) {
        const MapCell from = player_.previousCell();
        const MapCell cell = player_.cell();
        if (cell.y >= platform::screenHeight || cell.x >= platform::screenWidth ||
            map_.isBlocking(cell)) {
            player_.refuse();
            events_.add(happened(PlayEvent::Kind::StepRefused, cell, from));
        } else {
            const bool ontoPath = map_.at(cell) == linkCellChar;
            PlayEvent step = happened(PlayEvent::Kind::Stepped, cell, from);
            step.ontoPath = ontoPath;
            events_.add(step);
            // A "-" without a link has no caption.
            const std::string* caption = ontoPath ? map_.captionAt(cell) : nullptr;
            if (caption != nullptr) {
                PlayEvent shown = happened(PlayEvent::Kind::CaptionShown, cell);
                shown.text = *caption;
                events_.add(shown);
            }
        }
    }
    clock_.advance(dt);
    panel_.update(clock_, player_);
    if (panel_.countDown(dt) && panelShown_) {
        PlayEvent refresh = happened(PlayEvent::Kind::PanelRefreshed);
        refresh.reading = panel_.reading();
        events_.add(refresh);
    }
}

void World::use() {
    if (panelShown_) {
        return;
    }
    MapCell cell = player_.cell();
    if (map_.at(cell) != linkCellChar) {
        return;
    }
    const MapCell from = cell;
    std::string failedPath;
    switch (map_.enterLink(dataFolder_, cell, failedPath, files_)) {
    case LinkJump::NoLink:
        return;
    case LinkJump::Failed: {
        jumpFailure_ = failedPath + std::string(missingFileMessage);
        PlayEvent failed = happened(PlayEvent::Kind::JumpFailed, cell);
        failed.text = jumpFailure_;
        events_.add(failed);
        return;
    }
    case LinkJump::Done:
        player_.placeAt(cell);
        events_.add(happened(PlayEvent::Kind::JumpDone, cell, from));
        return;
    }
}

void World::setPanel(bool open) {
    if (panelShown_ == open) {
        return;
    }
    panelShown_ = open;
    if (open) {
        // The panel shows what it holds from the last tick; this frame's tick comes after.
        PlayEvent opened = happened(PlayEvent::Kind::PanelOpened);
        opened.reading = panel_.reading();
        events_.add(opened);
    } else {
        events_.add(happened(PlayEvent::Kind::PanelClosed));
    }
}

void World::leavePlay() {
    PlayEvent left = happened(PlayEvent::Kind::PlayLeft);
    left.panelWasUp = panelShown_;
    events_.add(left);
    panelShown_ = false;
}
