// Frame timing from the wall clock, read once per frame.
#pragma once

#include "platform/Platform.h"

#include <cstdint>

// Seconds per millisecond: the single-precision 0.001, widened, so that frame times scale exactly
// as the game's rules expect (1000 ms is a little more than one second).
inline constexpr double secondsPerMs = static_cast<double>(0.001f);

class FrameTimer {
public:
    explicit FrameTimer(platform::Clock& clock);

    // Measures the frame that just ended: one reading of the clock, one difference. The wall
    // clock may step backwards; the rules count such a frame as lasting no time, so nothing ever
    // moves backwards in time, while a recording keeps the difference as it was read.
    void tick();
    // Starts timing afresh from now.
    void restart();
    // The last frame's length in seconds, as the menu and the world are given it.
    double seconds() const;

    // The last frame's milliseconds as read, negative when the clock stepped back: what a
    // recording keeps.
    std::int64_t frameMs = 0;
    // The last frame's milliseconds as the rules use them: 0 when the clock stepped back.
    double deltaMs = 0.0;

private:
    platform::Clock* clock_;
    std::int64_t lastMs_ = 0;
};
