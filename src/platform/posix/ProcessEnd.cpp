#include "ProcessEnd.h"

#include <csignal>

namespace platform {

namespace {

int signalOf(InputStatus ending) {
    switch (ending) {
    case InputStatus::Interrupted:
        return SIGINT;
    case InputStatus::Terminated:
        return SIGTERM;
    case InputStatus::HungUp:
        return SIGHUP;
    case InputStatus::Keys:
        break;
    }
    return 0;
}

} // namespace

int signalledStatus(InputStatus ending) {
    const int sig = signalOf(ending);
    return sig == 0 ? 0 : 128 + sig;
}

void raiseAgain(InputStatus ending) {
    const int sig = signalOf(ending);
    if (sig != 0) {
        std::raise(sig);
    }
}

} // namespace platform
