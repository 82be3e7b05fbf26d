// When the frame loop rests: between two frames it waits for input, and how long it may wait
// depends on whether anything on the screen can change without input.
#pragma once

#include <cstdint>

class DayClock;

// While something can change without input (a key held, a timer of the back end pending), frames
// follow each other at most this far apart, and at once on input.
inline constexpr std::int64_t busyFrameMs = 2;
// A rest that waits for a moment of the game's own ends after an hour at the latest, and the
// loop rests again: one needless frame an hour, and no back end is asked to wait for longer.
inline constexpr std::int64_t longestRestMs = 3'600'000;

// How long the loop may wait for input before its next frame: -1 (no limit) when nothing can
// change without it. `settled`: the last frame found no key down and none just let go, and the
// game is not ending. `backEndTimerMs`: the back end's next timer (-1: none), which keeps frames
// going. `gameTimerMs`: the next moment the game itself changes something (-1: none), where a
// rest ends.
std::int64_t frameWaitMs(bool settled, std::int64_t backEndTimerMs, std::int64_t gameTimerMs);

// The frame time, in whole milliseconds, after which the day clock has passed midnight and
// started again from 0 (at most longestRestMs); -1 when it does not run.
std::int64_t msUntilMidnight(const DayClock& clock);
