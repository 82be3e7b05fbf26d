#include "world/Travel.h"

#include "platform/Platform.h"

#include <utility>

Travel::Travel() { route_.reserve(platform::screenCellCount); }

bool Travel::plan(RouteFinder& routes, const WorldMap& map, MapCell from) {
    next_ = 0;
    expected_ = from;
    if (!routes.find(map, from, destination_, route_)) {
        active_ = false;
    }
    return active_;
}

bool Travel::start(RouteFinder& routes, const WorldMap& map, MapCell from, MapCell to) {
    active_ = true;
    destination_ = to;
    setOut_ = true;
    plannedAgain_ = false;
    return plan(routes, map, from);
}

std::optional<RouteStep> Travel::due(RouteFinder& routes, const WorldMap& map, MapCell at,
                                     double dt) {
    if (!active_) {
        return std::nullopt;
    }
    // The frame that set out took its time before it did: the first step is taken at once.
    wait_ = std::exchange(setOut_, false) ? 0.0 : wait_ - dt;
    if (wait_ > 0.0) {
        return std::nullopt;
    }
    // One step a frame at most: a long frame does not make up for the steps it missed.
    wait_ = wait_ + stepSeconds > 0.0 ? wait_ + stepSeconds : stepSeconds;
    if (!(at == expected_) && !plan(routes, map, at)) {
        return std::nullopt;
    }
    if (next_ >= route_.size()) {
        return std::nullopt;
    }
    const RouteStep step = route_[next_++];
    expected_ = MapCell{static_cast<std::uint8_t>(at.x + step.dx),
                        static_cast<std::uint8_t>(at.y + step.dy)};
    return step;
}

bool Travel::refused(RouteFinder& routes, const WorldMap& map, MapCell at) {
    if (!active_) {
        return false;
    }
    if (plannedAgain_) {
        active_ = false;
        return false;
    }
    plannedAgain_ = true;
    return plan(routes, map, at);
}
