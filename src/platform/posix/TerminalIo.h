// The operating system's side of the terminal: termios, the window size, reads and writes, the
// clocks, and the signals that must give the terminal back (or take it again) at any moment.
// Only this file's implementation includes system headers.
#pragma once

#include "Platform.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace platform::posix::terminal {

struct Size {
    int columns = 0;
    int rows = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

bool inputIsTerminal();
bool outputIsTerminal();
// The window size of the output, or false when the terminal does not tell.
bool windowSize(Size& size);

// Saves the terminal's mode and switches to raw input (no echo, no line editing, no signals from
// keys, reads that never wait). False when the mode cannot be read or set.
bool enterRawMode();
// Puts the raw mode back after something (a shell, a stop) changed it.
void reapplyRawMode();
// Puts the saved mode back.
void restoreMode();

// What to write to give the terminal back (used by signal handlers: it is copied into static
// storage), what to write after it when the program ends there (not on a suspend), and what to
// write to take the terminal again after a suspend.
void setLeaveSequence(std::string_view bytes);
void setEndSequence(std::string_view bytes);
void setEnterSequence(std::string_view bytes);

// Handlers for the signals that end the program (restore the terminal, then die of the signal as
// the default would; a real fault goes on to the handler that was there before, a sanitizer's
// say), for suspend/resume and for window size changes.
void installSignalHandlers();
void removeSignalHandlers();

// True once after a window size change or a resume; reading clears them.
bool takeResized();
bool takeResumed();

// Ctrl-C and Ctrl-Z received as keys: act as the signals would.
[[noreturn]] void interrupt();
void suspend();

// Writes everything (retrying short writes), false when the terminal is gone.
bool writeAll(std::string_view bytes);
// Reads what is there without waiting: the byte count, 0 when nothing is there (or when the
// terminal has hung up: see hungUp()).
std::size_t readAvailable(char* buffer, std::size_t capacity);
// Waits up to `timeoutMs` for input; true when some is there, false at once when the terminal
// has hung up.
bool waitForInput(int timeoutMs);
// Does nothing for `ms` milliseconds (less when a signal is handled meanwhile).
void sleepMs(int ms);
// True once a read or a wait found the terminal gone: poll reported a hang-up or an error, or a
// read failed with an input/output error. Reads that find nothing are no sign of it.
bool hungUp();
// Ends the program as a hang-up signal does, whatever that signal's disposition: the terminal is
// given back as far as it still exists, and the exit status is 129.
[[noreturn]] void hangUp();

std::int64_t steadyMs();
std::int64_t wallClockMs();
LocalTime localTime();

} // namespace platform::posix::terminal
