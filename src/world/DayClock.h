// The in-game time of day. It starts from the local time when the world is created and runs only
// while the world ticks.
#pragma once

inline constexpr double secondsPerDay = 86400.0;

class DayClock {
public:
    explicit DayClock(double startSeconds) : seconds(startSeconds) {}

    // Advances by `dt` real seconds; past midnight the time starts again from 0 (the part beyond
    // midnight is dropped; exactly 86400 stays).
    void advance(double dt);

    double rate = 1.0;
    double seconds = 0.0;
};
