// The host on Windows: the console the program was started in (or that Windows opened for it on a
// double-click), the keys of that console and the system clock.
#include "Host.h"
#include "win32/Win32Console.h"

#include <string_view>

namespace platform {

namespace {
constexpr std::string_view closePrompt = "\n\nPress any key to close this window.";
}

struct Host::Impl {
    win32::Win32Console console;
    win32::Win32Keyboard keyboard;
    win32::Win32Clock clock;
    bool open = false;
};

Host::Host() : impl_(std::make_unique<Impl>()) {}

Host::~Host() = default;

bool Host::open(std::string& error, HostMode mode) {
    if (mode == HostMode::Speech) {
        error = "--speak is not available in the Windows console yet";
        return false;
    }
    if (!win32::Win32Console::attached()) {
        error = "the game draws into a console window: start it from a console or by "
                "double-click, without redirecting its output";
        return false;
    }
    impl_->keyboard.open();
    impl_->open = true;
    return true;
}

Services Host::services() { return Services{&impl_->console, &impl_->keyboard, &impl_->clock}; }

void Host::say(std::string_view /*sentence*/) {}

void Host::close(int exitStatus) {
    if (!impl_->open) {
        return;
    }
    impl_->open = false;
    impl_->keyboard.restore();
    // A console of its own closes with the program: keep a failed start's message readable.
    if (exitStatus != 0 && win32::consoleProcessCount() == 1) {
        impl_->console.writeText(closePrompt);
        win32::waitForKeyPress();
    }
    impl_->console.restore();
}

} // namespace platform
