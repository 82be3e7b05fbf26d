#include "ProcessEnd.h"

namespace platform {

// The numbers a POSIX shell would show; the console's own control events end a Windows program
// themselves, so nothing is raised.
int signalledStatus(InputStatus ending) {
    switch (ending) {
    case InputStatus::Interrupted:
        return 128 + 2;
    case InputStatus::Terminated:
        return 128 + 15;
    case InputStatus::HungUp:
        return 128 + 1;
    case InputStatus::Keys:
        break;
    }
    return 0;
}

void raiseAgain(InputStatus /*ending*/) {}

} // namespace platform
