#include "app/FrameTimer.h"

FrameTimer::FrameTimer(platform::Clock& clock) : lastMs(clock.nowMs()), clock_(&clock) {}

void FrameTimer::tick() {
    const std::int64_t now = clock_->nowMs();
    const std::int64_t delta = now - lastMs;
    deltaMs = delta > 0 ? static_cast<double>(delta) : 0.0;
    lastMs = now;
}

void FrameTimer::restart() {
    lastMs = clock_->nowMs();
    deltaMs = 0.0;
}

double FrameTimer::seconds() const { return deltaMs * secondsPerMs; }
