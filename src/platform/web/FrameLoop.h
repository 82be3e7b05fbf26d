// What the browser back end adds to the host for the page's program: in a browser the page owns
// the loop, so the game's frames are run from the browser's animation frames instead of a loop
// of the program's own.
#pragma once

namespace platform::web {

// One frame of the game; false when the game has ended and no more frames are wanted.
using FrameFunction = bool (*)();

// Runs `frame` once per animation frame of the page from now on, until it returns false. Returns
// at once: the program's main ends and the browser calls back. When a test drives the page (it
// has set the wall clock), frames run only when the test steps them.
void runFrames(FrameFunction frame);

} // namespace platform::web
