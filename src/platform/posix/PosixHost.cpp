// The host on a POSIX terminal: the session that takes the terminal and gives it back, the screen
// the game draws into, the keyboard it polls and its clock, which stands still with the keys while
// the window is too small for the screen. For speech the screen is drawn nowhere: the terminal
// keeps its normal screen, its colours and its cursor, and gets the game's sentences as lines.
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

bool Host::open(std::string& error, HostMode mode) {
    if (!impl_->session.open(error, mode == HostMode::Speech)) {
        return false;
    }
    const posix::TerminalTraits& traits = impl_->session.traits();
    impl_->screen.useTraits(traits.backColourErase, !traits.utf8);
    // The probe goes to the game's own screen, where a terminal that misreads it does no harm.
    if (!impl_->session.enter(error)) {
        return false;
    }
    impl_->session.take(impl_->keyboard.probeKeyboardProtocol());
    return true;
}

Services Host::services() { return Services{&impl_->screen, &impl_->keyboard, &impl_->clock}; }

void Host::close(int exitStatus) {
    const bool wasTaken = impl_->session.taken();
    impl_->session.close();
    // What the game showed last stays readable, unless the program is to die of a signal; heard,
    // the game leaves the screen as it was, unless a message says why it could not start.
    const bool speaking = impl_->session.speaking();
    if (wasTaken && exitStatus < 128 && (!speaking || exitStatus != 0)) {
        impl_->screen.printText();
    }
}

void Host::say(std::string_view sentence) {
    if (impl_->session.taken()) {
        std::string line(sentence);
        posix::terminal::write(line.append("\r\n"));
    }
}

} // namespace platform
