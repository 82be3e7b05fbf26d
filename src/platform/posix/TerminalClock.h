// The game's clock on a terminal: the wall clock less the time the game stood still behind the
// too-small notice. While it stands still it keeps telling the time it last told.
#pragma once

#include "Platform.h"

#include <cstdint>

namespace platform::posix {

// Milliseconds of a clock that never steps (for timers and waits).
std::int64_t steadyMs();

class TerminalClock final : public Clock {
public:
    std::int64_t nowMs() override;
    LocalTime localTime() override;

    // Stops the clock, or starts it again where it stopped.
    void standStill(bool still);

private:
    bool still_ = false;
    // The time spent standing still, and since when it stands still now.
    std::int64_t heldMs_ = 0;
    std::int64_t heldSinceMs_ = 0;
    std::int64_t lastNowMs_ = 0;
};

} // namespace platform::posix
