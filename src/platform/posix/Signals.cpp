#include "posix/Signals.h"

#include "posix/Terminal.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <iterator>
#include <signal.h>
#include <unistd.h>

namespace platform::posix::signals {

namespace {

// Signals that end the game at its next key poll, with what they end it as.
struct Noted {
    int sig;
    InputStatus status;
};
constexpr Noted notedSignals[] = {{SIGINT, InputStatus::Interrupted},
                                  {SIGTERM, InputStatus::Terminated},
                                  {SIGHUP, InputStatus::HungUp}};
// Signals that end the program at once.
constexpr int endingSignals[] = {SIGQUIT, SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL};

constexpr std::size_t handledCount = std::size(notedSignals) + std::size(endingSignals) + 3;
struct sigaction previousActions[handledCount];
bool installed[handledCount] = {};
int handledSignals[handledCount] = {};
bool handlersInstalled = false;
bool exitHookInstalled = false;

volatile sig_atomic_t resizedFlag = 0;
volatile sig_atomic_t resumedFlag = 0;
volatile sig_atomic_t endingStatus = static_cast<sig_atomic_t>(InputStatus::Keys);
int wakePipe[2] = {-1, -1};

bool isFault(int sig) { return sig == SIGSEGV || sig == SIGBUS || sig == SIGFPE || sig == SIGILL; }

struct sigaction* previousActionOf(int sig) {
    for (std::size_t i = 0; i < handledCount; ++i) {
        if (handledSignals[i] == sig) {
            return &previousActions[i];
        }
    }
    return nullptr;
}

void wake() {
    if (wakePipe[1] >= 0) {
        const char byte = 0;
        [[maybe_unused]] const ssize_t n = ::write(wakePipe[1], &byte, 1);
    }
}

// Gives the terminal back for good, then lets the signal do what it would have done without the
// game: back to what was there before (the default, or a sanitizer's handler). A real fault
// returns to the faulting instruction and faults again into that handler; a fault signal sent by
// a process (kill -SEGV) has no instruction to fault again: it is raised with the default action.
void onEndingSignal(int sig, siginfo_t* info, void*) {
    const int savedErrno = errno;
    terminal::leaveNow(true);
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

// The first interrupt, termination or hang-up is noted for the game's loop; one more (the game
// stuck, say, on a terminal that takes no output) ends the program at once.
void onNotedSignal(int sig, siginfo_t* info, void* context) {
    if (endingStatus != static_cast<sig_atomic_t>(InputStatus::Keys)) {
        onEndingSignal(sig, info, context);
        return;
    }
    for (const Noted& noted : notedSignals) {
        if (noted.sig == sig) {
            endingStatus = static_cast<sig_atomic_t>(noted.status);
        }
    }
    const int savedErrno = errno;
    wake();
    errno = savedErrno;
}

void onSuspend(int) {
    const int savedErrno = errno;
    const bool wasTaken = terminal::leaveNow(false);
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
        terminal::enterNow();
    }
    resumedFlag = 1;
    wake();
    errno = savedErrno;
}

void onContinue(int) {
    const int savedErrno = errno;
    resumedFlag = 1;
    wake();
    errno = savedErrno;
}

void onResize(int) {
    const int savedErrno = errno;
    resizedFlag = 1;
    wake();
    errno = savedErrno;
}

using Handler = void (*)(int);
using InfoHandler = void (*)(int, siginfo_t*, void*);

void setHandler(struct sigaction& action, Handler handler) { action.sa_handler = handler; }
void setHandler(struct sigaction& action, InfoHandler handler) {
    action.sa_sigaction = handler;
    action.sa_flags |= SA_SIGINFO;
}

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
void installIfNotIgnored(int sig, AnyHandler handler, int flags, std::size_t& slot) {
    struct sigaction current {};
    ::sigaction(sig, nullptr, &current);
    handledSignals[slot] = sig;
    installed[slot] = (current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_IGN;
    if (installed[slot]) {
        struct sigaction action {};
        action.sa_flags = flags;
        setHandler(action, handler);
        sigfillset(&action.sa_mask);
        // Faults must still be able to stop a handler that itself faults.
        for (const int fault : {SIGSEGV, SIGBUS, SIGFPE, SIGILL}) {
            sigdelset(&action.sa_mask, fault);
        }
        ::sigaction(sig, &action, &previousActions[slot]);
    }
    ++slot;
}

void openWakePipe() {
    if (wakePipe[0] >= 0 || ::pipe(wakePipe) != 0) {
        return;
    }
    for (const int fd : wakePipe) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
}

} // namespace

void install() {
    if (handlersInstalled) {
        return;
    }
    provideSignalStack();
    openWakePipe();
    if (!exitHookInstalled) {
        // Also when something calls exit() on the way out, the terminal is given back.
        std::atexit([] { terminal::leaveNow(true); });
        exitHookInstalled = true;
    }
    std::size_t slot = 0;
    for (const Noted& noted : notedSignals) {
        installIfNotIgnored(noted.sig, onNotedSignal, 0, slot);
    }
    for (const int sig : endingSignals) {
        installIfNotIgnored(sig, onEndingSignal, isFault(sig) ? SA_ONSTACK : 0, slot);
    }
    installIfNotIgnored(SIGTSTP, onSuspend, SA_RESTART, slot);
    installIfNotIgnored(SIGCONT, onContinue, SA_RESTART, slot);
    installIfNotIgnored(SIGWINCH, onResize, SA_RESTART, slot);
    handlersInstalled = true;
}

void remove() {
    if (!handlersInstalled) {
        return;
    }
    for (std::size_t slot = 0; slot < handledCount; ++slot) {
        if (installed[slot]) {
            ::sigaction(handledSignals[slot], &previousActions[slot], nullptr);
            installed[slot] = false;
        }
    }
    handlersInstalled = false;
}

int wakeFd() { return wakePipe[0]; }

void drainWake() {
    char bytes[64];
    while (wakePipe[0] >= 0 && ::read(wakePipe[0], bytes, sizeof bytes) > 0) {
    }
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

InputStatus ending() { return static_cast<InputStatus>(endingStatus); }

void suspend() { ::raise(SIGTSTP); }

} // namespace platform::posix::signals
