#include "app/FrameTimer.h"

FrameTimer::FrameTimer(platform::Clock& clock) : clock_(&clock), lastMs_(clock.nowMs()) {}

void FrameTimer::tick() {
    const std::int64_t now = clock_->nowMs();
    // Subtracted as unsigned: readings at the two ends of the range are still far apart, not an
    // overflow.
    const std::uint64_t difference =
        static_cast<std::uint64_t>(now) - static_cast<std::uint64_t>(lastMs_);
    frameMs = static_cast<std::int64_t>(difference);
    deltaMs = now > lastMs_ ? static_cast<double>(difference) : 0.0;
    lastMs_ = now;
}

void FrameTimer::restart() {
    lastMs_ = clock_->nowMs();
    frameMs = 0;
    deltaMs = 0.0;
}

double FrameTimer::seconds() const { return deltaMs * secondsPerMs; }
