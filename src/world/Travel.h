// Travel: the game walks the player to a chosen cell along a route on foot, one tap a step, a
// step each eighth of a second. It holds the route and when the next step is due; the world
// decides where it goes, takes its steps as taps and tells what became of them.
#pragma once

#include "world/MapTypes.h"
#include "world/Routes.h"

#include <cstddef>
#include <optional>
#include <vector>

class WorldMap;

class Travel {
public:
    // Seconds between two steps.
    static constexpr double stepSeconds = 0.125;

    // Makes room for the longest route: travelling allocates nothing.
    Travel();

    // Sets out from `from` for `to`, the first step due at once; false (and no travel) when `to`
    // cannot be reached.
    bool start(RouteFinder& routes, const WorldMap& map, MapCell from, MapCell to);
    void stop() { active_ = false; }

    bool active() const { return active_; }
    MapCell destination() const { return destination_; }
    // The steps from the start to the destination.
    std::size_t length() const { return route_.size(); }

    // Time passes by `dt` seconds with the player at `at`: the step due now, if one is. A player
    // found off the route (a held key moved it too) gets a new route from where it stands; none
    // is due when there is none.
    std::optional<RouteStep> due(RouteFinder& routes, const WorldMap& map, MapCell at, double dt);
    // The step just taken was refused, the player back on `at`: plans again from there once in a
    // row. False, travel over, the second time or when no route is left.
    bool refused(RouteFinder& routes, const WorldMap& map, MapCell at);
    // The step was taken: a later refusal plans again.
    void taken() { plannedAgain_ = false; }
    // Seconds until the next step is due (0: in the next frame).
    double secondsToNextStep() const { return setOut_ || wait_ <= 0.0 ? 0.0 : wait_; }

private:
    bool plan(RouteFinder& routes, const WorldMap& map, MapCell from);

    bool active_ = false;
    MapCell destination_{};
    std::vector<RouteStep> route_;
    std::size_t next_ = 0;
    // Where the player stands when the next step is taken.
    MapCell expected_{};
    double wait_ = 0.0;
    bool setOut_ = false;
    bool plannedAgain_ = false;
};
