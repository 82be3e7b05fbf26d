#include "app/FrameTimer.h"

FrameTimer::FrameTimer(platform::Clock& clock) : lastMs(clock.nowMs()), clock_(&clock) {}

void FrameTimer::tick() {
    const std::int64_t now = clock_->nowMs();
    // Subtracted as unsigned: readings at the two ends of the range are still far apart, not an
    // overflow.
    deltaMs = now > lastMs ? static_cast<double>(static_cast<std::uint64_t>(now) -
                                                 static_cast<std::uint64_t>(lastMs))
                           : 0.0;
    lastMs = now;
}

void FrameTimer::restart() {
    lastMs = clock_->nowMs();
    deltaMs = 0.0;
}

double FrameTimer::seconds() const { return deltaMs * secondsPerMs; }
