// The console's control events: Ctrl-C and Ctrl-Break interrupt the game, and the window's
// closing, a log-off or a shut-down hang it up, at its next key poll. Windows calls the handler on
// a thread of its own; what it noted is kept for the poll, and an event wakes a wait for it.
#pragma once

#include "Platform.h"

namespace platform::win32::control {

// Installs the handler (and makes the event that wakes a wait, once), and removes it.
void install();
void remove();

// What a noted control event ended, or `Keys` when none came.
InputStatus ending();
// The event set when a control event is noted (a HANDLE), or null when none could be made.
void* wakeEvent();

} // namespace platform::win32::control
