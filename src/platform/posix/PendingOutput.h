// The bytes an output file holds back, written when the program ends on a signal.
#pragma once

namespace platform::posix {

// Async-signal-safe: writes the pending bytes of the one output file that has them, once.
void writePendingOutput();

} // namespace platform::posix
