#include "app/FrameRest.h"

#include "app/FrameTimer.h"
#include "world/DayClock.h"

#include <algorithm>
#include <cmath>

std::int64_t frameWaitMs(bool settled, std::int64_t backEndTimerMs, std::int64_t gameTimerMs) {
    if (backEndTimerMs >= 0) {
        return std::min(backEndTimerMs, busyFrameMs);
    }
    return settled ? gameTimerMs : busyFrameMs;
}

std::int64_t msUntilMidnight(const DayClock& clock) {
    const double left = secondsPerDay - clock.seconds();
    if (!(clock.rate() > 0.0) || !(left >= 0.0)) {
        return -1;
    }
    const double estimate = std::floor(left / (clock.rate() * secondsPerMs));
    if (!(estimate < static_cast<double>(longestRestMs))) {
        return longestRestMs;
    }
    // The estimate is off by a rounding at most: the first whole millisecond whose frame carries
    // the clock past midnight, as the frame timer measures it.
    auto passes = [&](std::int64_t ms) {
        return clock.rate() * (static_cast<double>(ms) * secondsPerMs) + clock.seconds() >
               secondsPerDay;
    };
    auto ms = static_cast<std::int64_t>(estimate);
    for (int i = 0; i < 4 && ms > 0 && passes(ms - 1); ++i) {
        --ms;
    }
    for (int i = 0; i < 4 && !passes(ms); ++i) {
        ++ms;
    }
    return ms;
}
