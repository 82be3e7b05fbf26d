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

    // Measures the frame that just ended. The wall clock may step backwards; such a frame counts
    // as lasting no time, so nothing ever moves backwards in time.
    void tick();
    // Starts timing afresh from now.
    void restart();
    // The last frame's length in seconds, as the menu and the world are given it.
    double seconds() const;

    std::int64_t lastMs = 0;
    double deltaMs = 0.0;

private:
    platform::Clock* clock_;
};
