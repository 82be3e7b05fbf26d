#include "posix/TerminalIo.h"

#include "posix/PendingOutput.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace platform::posix::terminal {

namespace {

constexpr int inputFd = STDIN_FILENO;
constexpr int outputFd = STDOUT_FILENO;

// Everything a signal handler touches lives here, written before the handlers are installed.
struct termios savedMode {};
struct termios rawMode {};
volatile sig_atomic_t haveSavedMode = 0;
volatile sig_atomic_t terminalTaken = 0;

constexpr std::size_t sequenceCapacity = 1024;
char leaveBytes[sequenceCapacity];
volatile sig_atomic_t leaveLength = 0;
char endBytes[sequenceCapacity];
volatile sig_atomic_t endLength = 0;
char enterBytes[sequenceCapacity];
volatile sig_atomic_t enterLength = 0;

volatile sig_atomic_t resizedFlag = 0;
volatile sig_atomic_t resumedFlag = 0;
bool hungUpFlag = false;

constexpr int endingSignals[] = {SIGINT,  SIGTERM, SIGHUP, SIGQUIT, SIGSEGV,
                                 SIGABRT, SIGBUS,  SIGFPE, SIGILL};
constexpr int otherSignals[] = {SIGTSTP, SIGCONT, SIGWINCH};
constexpr std::size_t handledCount = std::size(endingSignals) + std::size(otherSignals);
struct sigaction previousActions[handledCount];
bool handlersInstalled = false;

void writeRaw(const char* bytes, std::size_t length) {
    while (length > 0) {
        const ssize_t n = ::write(outputFd, bytes, length);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        bytes += n;
        length -= static_cast<std::size_t>(n);
    }
}

// Async-signal-safe: gives the terminal back, for good when the program `ends`.
void leaveNow(bool ends) {
    if (terminalTaken == 0) {
        return;
    }
    writeRaw(leaveBytes, static_cast<std::size_t>(leaveLength));
    if (ends) {
        writeRaw(endBytes, static_cast<std::size_t>(endLength));
        // What a recording holds back reaches its file before the program goes.
        writePendingOutput();
    }
    if (haveSavedMode != 0) {
        ::tcsetattr(inputFd, TCSANOW, &savedMode);
    }
    terminalTaken = 0;
}

// Async-signal-safe: takes the terminal again.
void enterNow() {
    ::tcsetattr(inputFd, TCSANOW, &rawMode);
    writeRaw(enterBytes, static_cast<std::size_t>(enterLength));
    terminalTaken = 1;
}

bool isFault(int sig) { return sig == SIGSEGV || sig == SIGBUS || sig == SIGFPE || sig == SIGILL; }

struct sigaction* previousActionOf(int sig) {
    std::size_t i = 0;
    for (const int handled : endingSignals) {
        if (handled == sig) {
            return &previousActions[i];
        }
        ++i;
    }
    return nullptr;
}

void onEndingSignal(int sig, siginfo_t* info, void*) {
    const int savedErrno = errno;
    leaveNow(true);
    // Back to what was there before (the default, or a sanitizer's handler), then let the signal
    // do what it would have done: a real fault returns to the faulting instruction and faults
    // again into that handler. A fault signal sent by a process (kill -SEGV) has no instruction
    // to fault again: it is raised again with the default action.
    struct sigaction* previous = previousActionOf(sig);
    bool previousIsHandler = false;
    if (previous != nullptr) {
        ::sigaction(sig, previous, nullptr);
        previousIsHandler = (previous->sa_flags & SA_SIGINFO) != 0 ||
                            (previous->sa_handler != SIG_DFL && previous->sa_handler != SIG_IGN);
    }
    const bool sentByAProcess = info == nullptr || info->si_code <= 0;
    if (isFault(sig) && sentByAProcess) {
        struct sigaction fallback {};
        fallback.sa_handler = SIG_DFL;
        sigemptyset(&fallback.sa_mask);
        ::sigaction(sig, &fallback, nullptr);
        previousIsHandler = false;
    }
    errno = savedErrno;
    if (!isFault(sig) || !previousIsHandler) {
        ::raise(sig);
    }
}

void onSuspend(int) {
    const int savedErrno = errno;
    const bool wasTaken = terminalTaken != 0;
    leaveNow(false);
    struct sigaction stop {};
    stop.sa_handler = SIG_DFL;
    sigemptyset(&stop.sa_mask);
    struct sigaction mine {};
    ::sigaction(SIGTSTP, &stop, &mine);
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, SIGTSTP);
    ::sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
    ::raise(SIGTSTP);
    // Stopped here until continued.
    ::sigprocmask(SIG_BLOCK, &unblock, nullptr);
    ::sigaction(SIGTSTP, &mine, nullptr);
    if (wasTaken) {
        enterNow();
    }
    resumedFlag = 1;
    errno = savedErrno;
}

void onContinue(int) { resumedFlag = 1; }

void onResize(int) { resizedFlag = 1; }

using Handler = void (*)(int);
using InfoHandler = void (*)(int, siginfo_t*, void*);

void setHandler(struct sigaction& action, Handler handler) { action.sa_handler = handler; }
void setHandler(struct sigaction& action, InfoHandler handler) {
    action.sa_sigaction = handler;
    action.sa_flags |= SA_SIGINFO;
}

template <typename AnyHandler>
void install(int sig, AnyHandler handler, int flags, struct sigaction& previous) {
    struct sigaction action {};
    action.sa_flags = flags;
    setHandler(action, handler);
    sigfillset(&action.sa_mask);
    // Faults must still be able to stop a handler that itself faults.
    sigdelset(&action.sa_mask, SIGSEGV);
    sigdelset(&action.sa_mask, SIGBUS);
    sigdelset(&action.sa_mask, SIGFPE);
    sigdelset(&action.sa_mask, SIGILL);
    ::sigaction(sig, &action, &previous);
}

void copySequence(std::string_view bytes, char* target, volatile sig_atomic_t& length) {
    const std::size_t n = std::min(bytes.size(), sequenceCapacity);
    length = 0;
    std::copy_n(bytes.data(), n, target);
    length = static_cast<sig_atomic_t>(n);
}

bool installed[handledCount] = {};
bool exitHookInstalled = false;

// A stack for the fault handlers, so that even a stack overflow gives the terminal back; kept
// when one is already set up (a sanitizer's, say).
alignas(16) char signalStack[64 * 1024];

void provideSignalStack() {
    stack_t current{};
    if (::sigaltstack(nullptr, &current) != 0 || (current.ss_flags & SS_DISABLE) == 0) {
        return;
    }
    stack_t mine{};
    mine.ss_sp = signalStack;
    mine.ss_size = sizeof signalStack;
    ::sigaltstack(&mine, nullptr);
}

template <typename AnyHandler>
void installIfNotIgnored(int sig, AnyHandler handler, int flags, std::size_t slot) {
    struct sigaction current {};
    ::sigaction(sig, nullptr, &current);
    installed[slot] = (current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_IGN;
    if (installed[slot]) {
        install(sig, handler, flags, previousActions[slot]);
    }
}

void restoreAction(int sig, std::size_t slot) {
    if (installed[slot]) {
        ::sigaction(sig, &previousActions[slot], nullptr);
        installed[slot] = false;
    }
}

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

void setLeaveSequence(std::string_view bytes) { copySequence(bytes, leaveBytes, leaveLength); }
void setEndSequence(std::string_view bytes) { copySequence(bytes, endBytes, endLength); }
void setEnterSequence(std::string_view bytes) { copySequence(bytes, enterBytes, enterLength); }

void installSignalHandlers() {
    if (handlersInstalled) {
        return;
    }
    provideSignalStack();
    if (!exitHookInstalled) {
        // Also when something calls exit() on the way out, the terminal is given back.
        std::atexit([] { leaveNow(true); });
        exitHookInstalled = true;
    }
    // A signal ignored when the game started (SIGHUP under nohup, say) stays ignored.
    std::size_t i = 0;
    for (const int sig : endingSignals) {
        installIfNotIgnored(sig, onEndingSignal, isFault(sig) ? SA_ONSTACK : 0, i++);
    }
    installIfNotIgnored(SIGTSTP, onSuspend, SA_RESTART, i++);
    installIfNotIgnored(SIGCONT, onContinue, SA_RESTART, i++);
    installIfNotIgnored(SIGWINCH, onResize, SA_RESTART, i++);
    handlersInstalled = true;
}

void removeSignalHandlers() {
    if (!handlersInstalled) {
        return;
    }
    std::size_t i = 0;
    for (const int sig : endingSignals) {
        restoreAction(sig, i++);
    }
    for (const int sig : otherSignals) {
        restoreAction(sig, i++);
    }
    handlersInstalled = false;
}

bool takeResized() {
    if (resizedFlag == 0) {
        return false;
    }
    resizedFlag = 0;
    return true;
}

bool takeResumed() {
    if (resumedFlag == 0) {
        return false;
    }
    resumedFlag = 0;
    return true;
}

void interrupt() {
    ::raise(SIGINT);
    // Only reached when SIGINT is ignored or blocked: end as the signal would have.
    leaveNow(true);
    ::_exit(128 + SIGINT);
}

void suspend() { ::raise(SIGTSTP); }

bool writeAll(std::string_view bytes) {
    const char* data = bytes.data();
    std::size_t length = bytes.size();
    int stalls = 0;
    while (length > 0) {
        const ssize_t n = ::write(outputFd, data, length);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            // Someone made the terminal non-blocking (the flag is shared with every process
            // on it): wait until it takes more, for a while.
            if ((errno == EAGAIN || errno == EWOULDBLOCK) && stalls++ < 50) {
                struct pollfd fd {};
                fd.fd = outputFd;
                fd.events = POLLOUT;
                ::poll(&fd, 1, 100);
                continue;
            }
            return false;
        }
        data += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

namespace {

constexpr short hangUpEvents = POLLHUP | POLLERR | POLLNVAL;

// Polls the input; notes a hang-up. The events seen, or 0.
short pollInput(int timeoutMs) {
    struct pollfd fd {};
    fd.fd = inputFd;
    fd.events = POLLIN;
    if (::poll(&fd, 1, timeoutMs) <= 0) {
        return 0;
    }
    if ((fd.revents & hangUpEvents) != 0) {
        hungUpFlag = true;
    }
    return fd.revents;
}

} // namespace

std::size_t readAvailable(char* buffer, std::size_t capacity) {
    for (;;) {
        const ssize_t n = ::read(inputFd, buffer, capacity);
        if (n > 0) {
            return static_cast<std::size_t>(n);
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno == EIO) {
            hungUpFlag = true;
        } else if (n == 0) {
            // Nothing there, or the end of a terminal that hung up: only a poll tells which.
            pollInput(0);
        }
        return 0;
    }
}

bool waitForInput(int timeoutMs) {
    const short events = pollInput(timeoutMs);
    return !hungUpFlag && (events & POLLIN) != 0;
}

bool hungUp() { return hungUpFlag; }

void hangUp() {
    ::raise(SIGHUP);
    // Only reached when SIGHUP is ignored or blocked: end as the signal would have.
    leaveNow(true);
    ::_exit(128 + SIGHUP);
}

void sleepMs(int ms) { ::poll(nullptr, 0, ms); }

std::int64_t steadyMs() {
    struct timespec ts {};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

std::int64_t wallClockMs() {
    struct timespec ts {};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

LocalTime localTime() {
    const std::time_t now = std::time(nullptr);
    struct tm parts {};
    if (::localtime_r(&now, &parts) == nullptr) {
        return {};
    }
    return LocalTime{parts.tm_hour, parts.tm_min, parts.tm_sec};
}

} // namespace platform::posix::terminal
