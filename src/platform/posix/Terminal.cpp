#include "posix/Terminal.h"

#include "posix/PendingOutput.h"
#include "posix/WriteAll.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace platform::posix::terminal {

namespace {

constexpr int inputFd = STDIN_FILENO;
constexpr int outputFd = STDOUT_FILENO;

// Everything a signal handler touches, written before the handlers are installed.
struct termios savedMode {};
struct termios rawMode {};
volatile sig_atomic_t haveSavedMode = 0;
volatile sig_atomic_t terminalTaken = 0;

constexpr std::size_t sequenceCapacity = 1024;
char leaveBytes[sequenceCapacity];
volatile sig_atomic_t leaveLength = 0;
volatile sig_atomic_t leaveEndAt = 0;
char endBytes[sequenceCapacity];
volatile sig_atomic_t endLength = 0;
char enterBytes[sequenceCapacity];
volatile sig_atomic_t enterLength = 0;

void copySequence(std::string_view bytes, char* target, volatile sig_atomic_t& length) {
    const std::size_t n = std::min(bytes.size(), sequenceCapacity);
    length = 0;
    std::copy_n(bytes.data(), n, target);
    length = static_cast<sig_atomic_t>(n);
}

constexpr short hangUpEvents = POLLHUP | POLLERR | POLLNVAL;

} // namespace

bool inputIsTerminal() { return ::isatty(inputFd) == 1; }
bool outputIsTerminal() { return ::isatty(outputFd) == 1; }

bool windowSize(Size& size) {
    struct winsize ws {};
    if (::ioctl(outputFd, TIOCGWINSZ, &ws) != 0 || ws.ws_col == 0 || ws.ws_row == 0) {
        return false;
    }
    size.columns = ws.ws_col;
    size.rows = ws.ws_row;
    return true;
}

bool enterRawMode() {
    if (::tcgetattr(inputFd, &savedMode) != 0) {
        return false;
    }
    haveSavedMode = 1;
    rawMode = savedMode;
    rawMode.c_iflag &=
        ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
    rawMode.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    rawMode.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    rawMode.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB);
    rawMode.c_cflag |= CS8;
    rawMode.c_cc[VMIN] = 0;
    rawMode.c_cc[VTIME] = 0;
    if (::tcsetattr(inputFd, TCSANOW, &rawMode) != 0) {
        haveSavedMode = 0;
        return false;
    }
    terminalTaken = 1;
    return true;
}

void reapplyRawMode() {
    if (haveSavedMode != 0) {
        ::tcsetattr(inputFd, TCSANOW, &rawMode);
    }
}

void restoreMode() {
    if (haveSavedMode != 0) {
        ::tcsetattr(inputFd, TCSADRAIN, &savedMode);
    }
    terminalTaken = 0;
}

void setLeaveSequence(std::string_view bytes, std::size_t endAt) {
    leaveEndAt = 0;
    copySequence(bytes, leaveBytes, leaveLength);
    leaveEndAt = static_cast<sig_atomic_t>(std::min<std::size_t>(endAt, leaveLength));
}

void setEndSequence(std::string_view bytes) { copySequence(bytes, endBytes, endLength); }
void setEnterSequence(std::string_view bytes) { copySequence(bytes, enterBytes, enterLength); }

bool leaveNow(bool ends) {
    if (terminalTaken == 0) {
        return false;
    }
    const auto length = static_cast<std::size_t>(leaveLength);
    const auto endAt = std::min(static_cast<std::size_t>(leaveEndAt), length);
    writeAll(outputFd, leaveBytes, endAt);
    if (ends) {
        writeAll(outputFd, endBytes, static_cast<std::size_t>(endLength));
    }
    writeAll(outputFd, leaveBytes + endAt, length - endAt);
    if (ends) {
        writePendingOutput();
    }
    dropInput();
    if (haveSavedMode != 0) {
        ::tcsetattr(inputFd, TCSANOW, &savedMode);
    }
    terminalTaken = 0;
    return true;
}

void enterNow() {
    ::tcsetattr(inputFd, TCSANOW, &rawMode);
    writeAll(outputFd, enterBytes, static_cast<std::size_t>(enterLength));
    terminalTaken = 1;
}

void dropInput() { ::tcflush(inputFd, TCIFLUSH); }

bool write(std::string_view bytes) { return writeAll(outputFd, bytes.data(), bytes.size()); }

Readiness wait(int wakeFd, std::int64_t timeoutMs) {
    struct pollfd fds[2]{};
    fds[0].fd = inputFd;
    fds[0].events = POLLIN;
    fds[1].fd = wakeFd;
    fds[1].events = POLLIN;
    const int timeout =
        timeoutMs < 0 ? -1 : static_cast<int>(std::min<std::int64_t>(timeoutMs, INT_MAX));
    Readiness ready;
    if (::poll(fds, wakeFd >= 0 ? 2 : 1, timeout) <= 0) {
        return ready;
    }
    ready.hungUp = (fds[0].revents & hangUpEvents) != 0;
    ready.input = (fds[0].revents & POLLIN) != 0 || ready.hungUp;
    ready.woken = wakeFd >= 0 && (fds[1].revents & POLLIN) != 0;
    return ready;
}

std::size_t readAvailable(char* buffer, std::size_t capacity, bool& hungUp) {
    for (;;) {
        const ssize_t n = ::read(inputFd, buffer, capacity);
        if (n > 0) {
            return static_cast<std::size_t>(n);
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno == EIO) {
            hungUp = true;
        }
        // Nothing there, or the end of a terminal that hung up: only a poll tells which.
        return 0;
    }
}

void sleepMs(int ms) { ::poll(nullptr, 0, ms); }

} // namespace platform::posix::terminal
