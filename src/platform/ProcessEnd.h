// How the program ends when something outside the game ended it (an interrupt, a termination, a
// hang-up): once the console is given back, it dies of that signal as it would have without the
// game. Each system implements it with its own calls.
#pragma once

#include "Platform.h"

namespace platform {

// The status a shell shows for a program that died of what ended the game: 128 + the signal's
// number (130 after an interrupt, 143 after a termination, 129 after a hang-up); 0 for `Keys`.
int signalledStatus(InputStatus ending);

// Called by the program's main last, with what ended the game: raises that signal again with the
// disposition the program started with, so that the process dies of it. Returns only when the
// signal is ignored or blocked, or the system has no such signal (or for `Keys`).
void raiseAgain(InputStatus ending);

} // namespace platform
