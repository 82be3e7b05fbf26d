#include "world/World.h"

#include "core/Controls.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <utility>

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
    // Room for every link a world may hold: setting out allocates nothing.
    round_.reserve(maxLinkCount);
    clock_ = DayClock(localTime.hour * 3600.0 + localTime.minute * 60.0 + localTime.second);
    player_.placeAt(playerStart);
    // The panel shows the true time and cell even when it is opened before the first tick.
    panel_.update(clock_, player_);
    return true;
}

void World::tick(Controls& controls, double dt) {
    std::optional<RouteStep> tap;
    if (!panelShown_ && travel_.active()) {
        tap = travel_.due(routes_, map_, player_.cell(), dt);
        if (!travel_.active()) {
            events_.add(happened(PlayEvent::Kind::TravelStopped, player_.cell()));
        }
    }
    bool refused = false;
    if (!panelShown_ && player_.update(controls, dt, tap.value_or(RouteStep{}))) {
        const MapCell from = player_.previousCell();
        const MapCell cell = player_.cell();
        if (cell.y >= platform::screenHeight || cell.x >= platform::screenWidth ||
            map_.isBlocking(cell)) {
            player_.refuse();
            refused = true;
            PlayEvent refusal = happened(PlayEvent::Kind::StepRefused, cell, from);
            refusal.tapped = player_.tapped();
            refusal.byTravel = tap.has_value();
            events_.add(refusal);
        } else {
            const bool ontoPath = map_.at(cell) == linkCellChar;
            PlayEvent step = happened(PlayEvent::Kind::Stepped, cell, from);
            step.ontoPath = ontoPath;
            step.byTravel = tap.has_value();
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
    if (tap) {
        followTravel(refused);
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
    std::string here = map_.name();
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
        followed_.emplace_back(std::move(here), from);
        travel_.stop();
        round_.clear();
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
    travel_.stop();
}

void World::followTravel(bool refused) {
    if (!travel_.active()) {
        return;
    }
    if (refused) {
        if (!travel_.refused(routes_, map_, player_.cell())) {
            events_.add(happened(PlayEvent::Kind::TravelStopped, player_.cell()));
        }
        return;
    }
    travel_.taken();
    if (player_.cell() == travel_.destination()) {
        travel_.stop();
        events_.add(happened(PlayEvent::Kind::TravelArrived, player_.cell()));
    }
}

bool World::followedFromHere(MapCell path) const {
    for (const auto& [world, cell] : followed_) {
        if (cell == path && world == map_.name()) {
            return true;
        }
    }
    return false;
}

void World::setOut(MapCell to) {
    PlayEvent started = happened(PlayEvent::Kind::TravelStarted, to, player_.cell());
    started.steps = static_cast<int>(travel_.length());
    const std::string* caption = map_.at(to) == linkCellChar ? map_.captionAt(to) : nullptr;
    started.ontoPath = caption != nullptr;
    if (caption != nullptr) {
        started.text = *caption;
    }
    events_.add(started);
}

void World::travelToNextPath() {
    if (panelShown_) {
        return;
    }
    const MapCell here = player_.cell();
    const bool onPath = map_.at(here) == linkCellChar && map_.findLink(here, nullptr) != nullptr;
    // Round the paths: the one after the destination, or after the path stood on.
    if (travel_.active() || onPath) {
        const MapCell current = travel_.active() ? travel_.destination() : here;
        const auto at = std::find(round_.begin(), round_.end(), current);
        const std::size_t count = round_.size();
        for (std::size_t k = 1; at != round_.end() && k < count; ++k) {
            const MapCell next =
                round_[(static_cast<std::size_t>(at - round_.begin()) + k) % count];
            if (!(next == here) && travel_.start(routes_, map_, here, next)) {
                setOut(next);
                return;
            }
        }
    }
    // A new round from here: the paths in reach, those not yet followed first, then the nearest.
    round_.clear();
    const std::span<const int> steps = routes_.stepsFrom(map_, here);
    for (const MapLink& link : map_.links()) {
        const MapCell cell{link.x, link.y};
        if (link.x < platform::screenWidth && link.y < platform::screenHeight &&
            map_.at(cell) == linkCellChar && map_.findLink(cell, nullptr) == &link &&
            steps[cellIndex(cell)] >= 0) {
            round_.push_back(cell);
        }
    }
    const auto later = [&](MapCell a, MapCell b) {
        const bool followedA = followedFromHere(a);
        const bool followedB = followedFromHere(b);
        return followedA != followedB ? followedA : steps[cellIndex(a)] > steps[cellIndex(b)];
    };
    // In place and stable, so that paths alike stay in the world's order.
    for (std::size_t i = 1; i < round_.size(); ++i) {
        for (std::size_t j = i; j > 0 && later(round_[j - 1], round_[j]); --j) {
            std::swap(round_[j - 1], round_[j]);
        }
    }
    for (const MapCell next : round_) {
        if (!(next == here) && travel_.start(routes_, map_, here, next)) {
            setOut(next);
            return;
        }
    }
    PlayEvent nowhere = happened(PlayEvent::Kind::NoPathInReach, here);
    nowhere.ontoPath = onPath;
    if (const std::string* caption = onPath ? map_.captionAt(here) : nullptr) {
        nowhere.text = *caption;
    }
    events_.add(nowhere);
}

void World::click(MapCell cell) {
    if (panelShown_) {
        return;
    }
    const MapCell here = player_.cell();
    if (cell == here) {
        use();
        return;
    }
    // The cell that can be walked to nearest to the one clicked, then the one fewest steps away.
    const std::span<const int> steps = routes_.stepsFrom(map_, here);
    const auto apart = [](MapCell a, MapCell b) {
        return std::max(std::abs(a.x - b.x), std::abs(a.y - b.y));
    };
    MapCell best = here;
    for (int i = 0; i < platform::screenCellCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const MapCell candidate{static_cast<std::uint8_t>(i % platform::screenWidth),
                                static_cast<std::uint8_t>(i / platform::screenWidth)};
        if (steps[at] < 0) {
            continue;
        }
        const int nearer = apart(candidate, cell) - apart(best, cell);
        if (nearer < 0 || (nearer == 0 && steps[at] < steps[cellIndex(best)])) {
            best = candidate;
        }
    }
    if (best == here || !travel_.start(routes_, map_, here, best)) {
        events_.add(happened(PlayEvent::Kind::NoNearerCell, here));
        return;
    }
    setOut(best);
}

void World::stopTravel() {
    if (travel_.active()) {
        travel_.stop();
        events_.add(happened(PlayEvent::Kind::TravelStopped, player_.cell()));
    }
}

bool World::routeTo(MapCell to, std::vector<RouteStep>& route) const {
    return routes_.find(map_, player_.cell(), to, route);
}
