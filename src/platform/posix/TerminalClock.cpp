#include "posix/TerminalClock.h"

#include <ctime>

namespace platform::posix {

namespace {

std::int64_t millisecondsOf(clockid_t clock) {
    struct timespec ts {};
    ::clock_gettime(clock, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

} // namespace

std::int64_t steadyMs() { return millisecondsOf(CLOCK_MONOTONIC); }

std::int64_t TerminalClock::nowMs() {
    if (!still_) {
        lastNowMs_ = millisecondsOf(CLOCK_REALTIME) - heldMs_;
    }
    return lastNowMs_;
}

LocalTime TerminalClock::localTime() {
    const std::time_t now = std::time(nullptr);
    struct tm parts {};
    if (::localtime_r(&now, &parts) == nullptr) {
        return {};
    }
    return LocalTime{parts.tm_hour, parts.tm_min, parts.tm_sec};
}

void TerminalClock::standStill(bool still) {
    if (still == still_) {
        return;
    }
    if (still) {
        heldSinceMs_ = steadyMs();
    } else {
        heldMs_ += steadyMs() - heldSinceMs_;
    }
    still_ = still;
}

} // namespace platform::posix
