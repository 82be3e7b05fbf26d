#include "posix/TerminalKeyboard.h"

#include "VirtualKeys.h"
#include "posix/Signals.h"
#include "posix/TerminalClock.h"

#include <algorithm>

namespace platform::posix {

namespace {

constexpr std::string_view keyboardProbe = "\x1b[?u\x1b[c";
constexpr std::int64_t probeTimeoutMs = 1000;
// A lone Escape: nothing followed it within this time.
constexpr std::int64_t escapeWaitMs = 25;
// Unfinished sequences are given up after this time.
constexpr std::int64_t sequenceWaitMs = 500;
constexpr int maxReadsPerPoll = 16;

bool isMouseButton(std::int32_t code) {
    return code == vk::leftButton || code == vk::rightButton || code == vk::middleButton ||
           code == vk::extraButton1 || code == vk::extraButton2;
}

} // namespace

bool TerminalKeyboard::probeKeyboardProtocol() {
    bool flags = false;
    if (terminal::write(keyboardProbe)) {
        const std::int64_t deadline = steadyMs() + probeTimeoutMs;
        bool answered = false;
        while (!answered) {
            const std::int64_t left = deadline - steadyMs();
            // A signal noted meanwhile ends the wait: the first poll reports it.
            if (left <= 0 || signals::ending() != InputStatus::Keys) {
                break;
            }
            const terminal::Readiness ready = terminal::wait(signals::wakeFd(), left);
            if (ready.hungUp) {
                break;
            }
            if (ready.woken) {
                // A resize or a resume: its flag stays for the first poll.
                signals::drainWake();
            }
            if (!ready.input) {
                continue;
            }
            bool hungUp = false;
            const std::size_t n = terminal::readAvailable(input_.data(), input_.size(), hungUp);
            decoder_.feed(std::string_view(input_.data(), n));
            for (const InputEvent& event : decoder_.events()) {
                if (event.kind == InputKind::KeyboardFlags) {
                    flags = !answered;
                } else if (event.kind == InputKind::DeviceAttributes) {
                    answered = true;
                } else {
                    // Typed while the terminal was asked: counts at the first poll.
                    handle(event, steadyMs());
                }
            }
            if (hungUp) {
                break;
            }
        }
        if (!answered) {
            flags = false;
        }
    }
    decoder_.flush();
    handleAll(steadyMs());
    decoder_.setReportsReleases(flags);
    return flags;
}

InputStatus TerminalKeyboard::sample() {
    click_.reset();
    if (!session_.taken()) {
        return InputStatus::Keys;
    }
    const terminal::Readiness ready = terminal::wait(signals::wakeFd(), 0);
    // Emptied before the flags are taken: a signal noted from here on wakes the next wait.
    if (ready.woken) {
        signals::drainWake();
    }
    if (signals::takeResumed()) {
        terminal::reapplyRawMode();
        keys_.releaseAll();
        screen_.checkSizeSoon();
    }
    if (signals::takeResized()) {
        screen_.checkSizeSoon();
    }
    const std::int64_t now = steadyMs();
    if (ready.input) {
        readInput(now);
    }
    if (ready.hungUp) {
        keep(InputStatus::HungUp);
    }
    if (decoder_.pending() && now >= sequenceDeadline()) {
        decoder_.flush();
        handleAll(now);
    }
    keys_.poll(now);
    keep(signals::ending());
    return kept_;
}

void TerminalKeyboard::readInput(std::int64_t nowMs) {
    bool hungUp = false;
    for (int reads = 0; reads < maxReadsPerPoll; ++reads) {
        const std::size_t n = terminal::readAvailable(input_.data(), input_.size(), hungUp);
        if (n == 0) {
            break;
        }
        decoder_.feed(std::string_view(input_.data(), n));
        handleAll(nowMs);
        pendingSinceMs_ = nowMs;
    }
    if (hungUp) {
        keep(InputStatus::HungUp);
    }
}

void TerminalKeyboard::keep(InputStatus status) {
    if (kept_ == InputStatus::Keys) {
        kept_ = status;
    }
}

void TerminalKeyboard::handleAll(std::int64_t nowMs) {
    for (const InputEvent& event : decoder_.events()) {
        handle(event, nowMs);
    }
}

void TerminalKeyboard::handle(const InputEvent& event, std::int64_t nowMs) {
    switch (event.kind) {
    case InputKind::Key:
        // Reported for the clicks alone, the left button is no key: it neither counts as one
        // that went down nor shows in any key's state.
        if (event.vk != vk::leftButton || buttonsBound_) {
            keys_.take(event.action, event.vk, nowMs);
        }
        break;
    case InputKind::Click:
        if (clicks_) {
            click_ = screen_.screenCell(event.column, event.row);
        }
        break;
    case InputKind::FocusOut:
        keys_.releaseAll();
        break;
    case InputKind::Interrupt:
        keep(InputStatus::Interrupted);
        break;
    case InputKind::Suspend:
        signals::suspend();
        break;
    case InputKind::FocusIn:
    case InputKind::KeyboardFlags:
    case InputKind::DeviceAttributes:
        break;
    }
}

void TerminalKeyboard::waitForInput(std::int64_t timeoutMs) {
    if (!session_.taken() || kept_ != InputStatus::Keys) {
        return;
    }
    terminal::wait(signals::wakeFd(), timeoutMs);
}

std::int64_t TerminalKeyboard::sequenceDeadline() const {
    return pendingSinceMs_ + (decoder_.pendingLoneEscape() ? escapeWaitMs : sequenceWaitMs);
}

std::int64_t TerminalKeyboard::pendingTimerMs() const {
    if (!session_.taken()) {
        return -1;
    }
    const std::int64_t now = steadyMs();
    std::int64_t due = screen_.sizeCheckDue() || kept_ != InputStatus::Keys ? now : -1;
    const auto earliest = [&due](std::int64_t at) { due = due < 0 ? at : std::min(due, at); };
    if (decoder_.pending()) {
        earliest(sequenceDeadline());
    }
    const std::int64_t keyChange = keys_.nextChangeMs(now);
    if (keyChange >= 0) {
        earliest(keyChange);
    }
    return due < 0 ? -1 : std::max<std::int64_t>(0, due - now);
}

void TerminalKeyboard::useKeys(std::span<const std::int32_t> codes) {
    buttonsBound_ = std::any_of(codes.begin(), codes.end(), isMouseButton);
    updateMouseReports();
}

void TerminalKeyboard::deliverClicks(bool on) {
    clicks_ = on;
    updateMouseReports();
}

// Heard, no screen is shown to click on: the mouse stays the terminal's (for selecting the
// sentences) unless a binding uses a button.
void TerminalKeyboard::updateMouseReports() {
    session_.setMouseReports(buttonsBound_ || (clicks_ && !session_.speaking()));
}

} // namespace platform::posix
