// The keyboard of a terminal: the bytes it sends, decoded into key events (with the keyboard
// protocol's presses and releases where the terminal speaks it, which is asked at the start), the
// key states the game polls, and the waits between frames. The key poll also reports what ends
// the game: Ctrl-C, a noted signal, the terminal hanging up. The terminal reports the mouse while
// a binding uses a button or clicks are asked for: a press of the left button is then a click on
// the screen cell the terminal shows there, and the left button is a key only where it is bound.
#pragma once

#include "Platform.h"
#include "posix/KeyDecoder.h"
#include "posix/KeyStates.h"
#include "posix/TerminalScreen.h"
#include "posix/TerminalSession.h"

#include <array>
#include <cstdint>
#include <optional>

namespace platform::posix {

class TerminalKeyboard final : public Keyboard {
public:
    TerminalKeyboard(TerminalSession& session, TerminalScreen& screen)
        : session_(session), screen_(screen) {}

    // Asks the terminal whether it speaks the keyboard protocol and waits a moment for the answer;
    // keys typed meanwhile count at the first poll. From then on key reports are read as it said.
    bool probeKeyboardProtocol();

    InputStatus sample() override;
    void waitForInput(std::int64_t timeoutMs) override;
    std::int64_t pendingTimerMs() const override;
    std::int32_t keyWentDown() const override { return keys_.wentDown(); }
    bool isDown(int vk) override { return keys_.isDown(vk); }
    void useKeys(std::span<const std::int32_t> codes) override;
    void deliverClicks(bool on) override;
    std::optional<ScreenPoint> clicked() const override { return click_; }
    void holdKeys(std::span<const std::int32_t> codes) override { keys_.holdKeys(codes); }

    // While muted every key polls as up (the game stands still behind the too-small notice).
    void setMuted(bool muted) { keys_.setMuted(muted); }

private:
    // Reads what the terminal sent and decodes it.
    void readInput(std::int64_t nowMs);
    void handle(const InputEvent& event, std::int64_t nowMs);
    void handleAll(std::int64_t nowMs);
    // Keeps the first thing that ended the game: every poll from then on reports it.
    void keep(InputStatus status);
    // When the decoder holds an unfinished sequence, the steady time it is given up at.
    std::int64_t sequenceDeadline() const;
    // Asks the terminal for mouse reports while a binding or the clicks need them.
    void updateMouseReports();

    TerminalSession& session_;
    TerminalScreen& screen_;
    KeyDecoder decoder_;
    KeyStates keys_;
    // Since when the decoder holds back what it holds.
    std::int64_t pendingSinceMs_ = 0;
    InputStatus kept_ = InputStatus::Keys;
    // A binding uses a mouse button: the left button's reports are key events too.
    bool buttonsBound_ = false;
    bool clicks_ = false;
    // The last click since the previous poll, where it landed on the screen.
    std::optional<ScreenPoint> click_;
    std::array<char, KeyDecoder::maxFeed> input_{};
};

} // namespace platform::posix
