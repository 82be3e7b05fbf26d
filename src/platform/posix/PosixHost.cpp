// The host on a POSIX terminal: the session that takes the terminal and gives it back, the screen
// the game draws into, the keyboard it polls and its clock, which stands still with the keys while
// the window is too small for the screen.
#include "Host.h"

#include "posix/TerminalClock.h"
#include "posix/TerminalKeyboard.h"
#include "posix/TerminalScreen.h"
#include "posix/TerminalSession.h"
#include "posix/TerminalTraits.h"

namespace platform {

struct Host::Impl final : posix::NoticeListener {
    posix::TerminalSession session;
    posix::TerminalScreen screen{session, *this};
    posix::TerminalKeyboard keyboard{session, screen};
    posix::TerminalClock clock;

    // Behind the notice the game sees every key up and no time passing.
    void noticeShown(bool shown) override {
        keyboard.setMuted(shown);
        clock.standStill(shown);
    }
};

Host::Host() : impl_(std::make_unique<Impl>()) {}

Host::~Host() {
    if (impl_) {
        impl_->session.close();
    }
}

bool Host::open(std::string& error) {
    if (!impl_->session.open(error)) {
        return false;
    }
    const posix::TerminalTraits& traits = impl_->session.traits();
    impl_->screen.useTraits(traits.backColourErase, !traits.utf8);
    // The probe goes to the game's own screen, where a terminal that misreads it does no harm.
    impl_->session.enter();
    impl_->session.take(impl_->keyboard.probeKeyboardProtocol());
    return true;
}

Services Host::services() { return Services{&impl_->screen, &impl_->keyboard, &impl_->clock}; }

void Host::close(int exitStatus) {
    const bool wasTaken = impl_->session.taken();
    impl_->session.close();
    // What the game showed last stays readable, unless the program is to die of a signal.
    if (wasTaken && exitStatus < 128) {
        impl_->screen.printText();
    }
}

} // namespace platform
