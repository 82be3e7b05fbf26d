// The in-game time of day. It starts from the local time when the world is created and runs only
// while the world ticks.
#pragma once

inline constexpr double secondsPerDay = 86400.0;

class DayClock {
public:
    // At `startSeconds` after midnight, running `rate` game seconds per real second.
    explicit DayClock(double startSeconds, double rate = 1.0)
        : seconds_(startSeconds), rate_(rate) {}

    // Advances by `dt` real seconds; past midnight the time starts again from 0 (the part beyond
    // midnight is dropped; exactly 86400 stays).
    void advance(double dt);

    // Seconds since midnight.
    double seconds() const { return seconds_; }
    // Game seconds per real second.
    double rate() const { return rate_; }

private:
    double seconds_;
    double rate_;
};
