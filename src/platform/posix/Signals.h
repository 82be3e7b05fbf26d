// The signals of a game on a terminal. An interrupt, a termination or a hang-up is noted and ends
// the game at its next key poll (a second one ends the program at once); the signals that must end
// the program at once (a quit, an abort, a fault) give the terminal back, write what a recording
// holds back, and end it as they would have; a stop gives the terminal back and takes it again on
// resuming; a window size change is noted. Each noted signal also wakes a wait through a pipe.
#pragma once

#include "Platform.h"

namespace platform::posix::signals {

// Installs the handlers (a signal ignored when the game started stays ignored), and removes
// them, putting back what was there before.
void install();
void remove();

// The descriptor that becomes readable when a signal was noted (-1 when there is none), and
// empties it: call drainWake() before taking what was noted, so that a signal noted after it
// wakes the next wait.
int wakeFd();
void drainWake();

// True once after a window size change or a resume; reading clears them.
bool takeResized();
bool takeResumed();
// What a noted interrupt, termination or hang-up ended, or `Keys` when none came.
InputStatus ending();

// Ctrl-Z received as a key: stops the program as the terminal's stop signal would.
void suspend();

} // namespace platform::posix::signals
