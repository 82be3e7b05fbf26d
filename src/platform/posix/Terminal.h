// The terminal device: standard input and output, their mode, the window size, reads, writes and
// waits. What a signal handler needs to give the terminal back (or take it again) at any moment,
// the saved and raw modes and copies of the sequences, lives in static storage here. Only the
// implementation includes system headers.
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

inline bool smallerThanScreen(const Size& size) {
    return size.columns < screenWidth || size.rows < screenHeight;
}

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

// What to write to give the terminal back, what goes into it at `endAt` when the program ends
// there (not on a suspend), and what to write to take the terminal again after a suspend: copied
// into static storage for leaveNow() and enterNow().
void setLeaveSequence(std::string_view bytes, std::size_t endAt);
void setEndSequence(std::string_view bytes);
void setEnterSequence(std::string_view bytes);
// Async-signal-safe: gives the terminal back (the leave sequence, with the end sequence in it when
// the program `ends` there, then the bytes a recording holds back), drops the input the game did
// not read, and puts the saved mode back. False when the terminal was not taken.
bool leaveNow(bool ends);
// Async-signal-safe: drops what the terminal sent that was not read yet (key reports the shell
// must not get).
void dropInput();
// Async-signal-safe: takes the terminal again (the raw mode, the enter sequence).
void enterNow();

// Writes everything, false when the terminal is gone.
bool write(std::string_view bytes);

// What is there to read, without waiting.
struct Readiness {
    bool input = false;  // bytes (or the end of a terminal that hung up)
    bool woken = false;  // the wake-up descriptor is readable
    bool hungUp = false; // the terminal is gone
};
// Waits up to `timeoutMs` (no limit when negative, not at all when 0) for input, a hang-up or a
// byte on `wakeFd` (-1: none); a handled signal also ends the wait.
Readiness wait(int wakeFd, std::int64_t timeoutMs);
// Reads what is there without waiting: the byte count, 0 when nothing is there. Sets `hungUp`
// when the read finds the terminal gone.
std::size_t readAvailable(char* buffer, std::size_t capacity, bool& hungUp);
// Does nothing for `ms` milliseconds (less when a signal is handled meanwhile).
void sleepMs(int ms);

} // namespace platform::posix::terminal
