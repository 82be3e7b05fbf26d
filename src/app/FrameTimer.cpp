#include "app/FrameTimer.h"

#include "platform/Platform.h"

std::int64_t nowMs() {
    platform::Clock* clock = platform::services().clock;
    return clock != nullptr ? clock->nowMs() : 0;
}

FrameTimer::FrameTimer() : lastMs(nowMs()) {}

void FrameTimer::tick() {
    const std::int64_t now = nowMs();
    const std::int64_t delta = now - lastMs;
    deltaMs = delta > 0 ? static_cast<double>(delta) : 0.0;
    lastMs = now;
}

void FrameTimer::restart() {
    lastMs = nowMs();
    deltaMs = 0.0;
}

double FrameTimer::seconds() const { return deltaMs * secondsPerMs; }
