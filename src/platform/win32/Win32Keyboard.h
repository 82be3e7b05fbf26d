// The keyboard of the Windows console. The game never sees this header; the entry point and the
// tests do. No Windows header is included here: handles are kept as plain pointers.
#pragma once

#include "KeyLatch.h"
#include "Platform.h"

#include <cstdint>
#include <optional>
#include <span>

namespace platform::win32 {

// Keys from the key events of the game's own console (CONIN$, whatever standard input is), which
// Windows sends only to the console that has the focus: a key is down from its press to its
// release, and a key that went down and up between two polls is down for that poll. Every key is
// let go when the focus leaves the window, whether the console says so or not. Mouse events are
// asked for only while a binding uses the left button or clicks are delivered (mouse input turns
// the console's QuickEdit selection off): the left button is then a key where it is bound, and
// each of its presses a click on the cell under the pointer. Ctrl-C, Ctrl-Break and the window's
// closing end the game.
class Win32Keyboard final : public Keyboard {
public:
    Win32Keyboard() = default;
    ~Win32Keyboard() override;
    Win32Keyboard(const Win32Keyboard&) = delete;
    Win32Keyboard& operator=(const Win32Keyboard&) = delete;

    // Opens the console's input and sets its mode; without a console input no key is ever down.
    // `screenShown`: the game draws into the console's buffer, whose cells a click names; when it
    // does not (heard), no click is delivered and the mouse stays the console's.
    void open(bool screenShown);
    // Gives the input mode back as open() found it. Safe to call more than once.
    void restore();
    // open() found a console input to read keys from.
    bool hasConsoleInput() const { return input_ != nullptr; }

    InputStatus sample() override;
    void waitForInput(std::int64_t timeoutMs) override;
    std::int32_t keyWentDown() const override { return keys_.wentDown(); }
    bool isDown(int vk) override;
    void useKeys(std::span<const std::int32_t> codes) override;
    void deliverClicks(bool on) override;
    std::optional<ScreenPoint> clicked() const override { return click_; }

    // One key event of the console: `sided` is the left or right variant of Shift, Ctrl or Alt
    // (0 for other keys), which is down with it.
    void keyEvent(int vk, int sided, bool pressed);
    // One mouse event of the console: the pointer's cell in the buffer, the buttons held and
    // what happened (the record's dwButtonState and dwEventFlags).
    void mouseEvent(int x, int y, std::uint32_t buttons, std::uint32_t flags);
    // Every key up: the window lost the focus.
    void releaseAll();

private:
    // Mouse events are asked for: a binding uses the left button, or clicks are delivered.
    bool mouseInput() const { return mouse_ || (clicks_ && screenShown_); }
    void applyMode();
    // Lets go of keys whose release went to another window.
    void checkFocus();

    void* input_ = nullptr;
    std::uint32_t savedMode_ = 0;
    bool modeSaved_ = false;
    // A binding uses the left button.
    bool mouse_ = false;
    bool clicks_ = false;
    bool screenShown_ = true;
    // The left button is down, as the last mouse event said.
    bool leftDown_ = false;
    // The last click since the previous poll, on the screen.
    std::optional<ScreenPoint> click_;
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
