#include "win32/ControlHandler.h"

#include "win32/WindowsApi.h"

#include <atomic>

namespace platform::win32::control {

namespace {

// What a console control event asked for, for the next poll, and the event that wakes a wait
// for it: set by the handler, which Windows calls on a thread of its own.
std::atomic<InputStatus> controlStatus{InputStatus::Keys};
HANDLE controlSignal = nullptr;

BOOL WINAPI onControl(DWORD type) {
    switch (type) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        controlStatus.store(InputStatus::Interrupted);
        break;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        controlStatus.store(InputStatus::HungUp);
        break;
    default:
        return FALSE;
    }
    if (controlSignal != nullptr) {
        SetEvent(controlSignal);
    }
    // The game ends at its next poll; a closing window ends the process soon after anyway.
    return type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT ? TRUE : FALSE;
}

} // namespace

void install() {
    if (controlSignal == nullptr) {
        controlSignal = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    SetConsoleCtrlHandler(onControl, TRUE);
}

void remove() { SetConsoleCtrlHandler(onControl, FALSE); }

InputStatus ending() { return controlStatus.load(); }

void* wakeEvent() { return controlSignal; }

} // namespace platform::win32::control
