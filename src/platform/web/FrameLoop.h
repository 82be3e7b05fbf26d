// What the browser back end adds to the host for the page's program: in a browser the page owns
// the loop, so the game's frames are run from the browser's animation frames instead of a loop
// of the program's own.
#pragma once

#include <cstdint>

namespace platform::web {

// One frame of the game; false when the game has ended and no more frames are wanted.
using FrameFunction = bool (*)();
// How long the game may wait for input before its next frame, in milliseconds; -1 when only
// input can change anything.
using WaitFunction = std::int64_t (*)();

// Runs `frame` on the page's animation frames from now on, until it returns false: one on each
// while the game is busy, none while it rests (a key, the focus or the tab shown again asks for
// the next one, and so does the end of a wait the game named). Returns at once: the program's
// main ends and the browser calls back. When a test drives the page (it has set the wall clock),
// frames run only when the test steps them.
void runFrames(FrameFunction frame, WaitFunction wait);

} // namespace platform::web
