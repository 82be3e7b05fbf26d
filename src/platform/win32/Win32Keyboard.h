// The keyboard of the Windows console. The game never sees this header; the entry point and the
// tests do. No Windows header is included here: handles are kept as plain pointers.
#pragma once

#include "KeyLatch.h"
#include "Platform.h"

#include <cstdint>
#include <span>

namespace platform::win32 {

// Keys from the key events of the game's own console (CONIN$, whatever standard input is), which
// Windows sends only to the console that has the focus: a key is down from its press to its
// release, and a key that went down and up between two polls is down for that poll. Every key is
// let go when the focus leaves the window, whether the console says so or not. The left mouse
// button comes from mouse events, asked for only while a binding uses it (mouse input turns the
// console's QuickEdit selection off). Ctrl-C, Ctrl-Break and the window's closing end the game.
class Win32Keyboard final : public Keyboard {
public:
    Win32Keyboard() = default;
    ~Win32Keyboard() override;
    Win32Keyboard(const Win32Keyboard&) = delete;
    Win32Keyboard& operator=(const Win32Keyboard&) = delete;

    // Opens the console's input and sets its mode; without a console input no key is ever down.
    void open();
    // Gives the input mode back as open() found it. Safe to call more than once.
    void restore();
    // open() found a console input to read keys from.
    bool hasConsoleInput() const { return input_ != nullptr; }

    InputStatus sample() override;
    void waitForInput(std::int64_t timeoutMs) override;
    std::int32_t keyWentDown() const override { return keys_.wentDown(); }
    bool isDown(int vk) override;
    void useKeys(std::span<const std::int32_t> codes) override;

    // One key event of the console: `sided` is the left or right variant of Shift, Ctrl or Alt
    // (0 for other keys), which is down with it.
    void keyEvent(int vk, int sided, bool pressed);
    // The state of the mouse's left button, from a mouse event.
    void leftButton(bool pressed);
    // Every key up: the window lost the focus.
    void releaseAll();

private:
    void applyMode();
    // Lets go of keys whose release went to another window.
    void checkFocus();

    void* input_ = nullptr;
    std::uint32_t savedMode_ = 0;
    bool modeSaved_ = false;
    bool mouse_ = false;
    KeyLatch keys_;
    // Seen to agree with a press: the desktop's key state and the foreground window can tell
    // that a key is no longer held here (wine without a desktop knows neither).
    bool keyStateAgrees_ = false;
    bool foregroundAgrees_ = false;
};

// The rule for a GetAsyncKeyState result: down when any of the upper eight bits is set (the low
// bits only tell about earlier presses).
constexpr bool keyStateIsDown(std::uint16_t state) { return (state & 0xFF00U) != 0; }

// Waits for a key press in the console's input (key releases and other events are ignored).
// Returns at once when there is no console input.
void waitForKeyPress();

} // namespace platform::win32
