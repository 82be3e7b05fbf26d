// The Windows text console behind the console interface. Processed text goes through standard
// output (binary, unbuffered); positioning, colours, fills and raw glyphs go through the console
// API. The game never sees this header; the entry point, the replay runner and the tests do.
// No Windows header is included here: handles are kept as plain pointers.
#pragma once

#include "Platform.h"
#include "ScreenModel.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace platform::win32 {

// The resource number of the program's icon.
inline constexpr int iconResourceId = 101;

// The console code page the game's glyphs are drawn in.
inline constexpr unsigned glyphCodePage = 437;

// What the console reports about itself, for diagnostics and tests.
struct ConsoleState {
    bool available = false;
    int bufferWidth = 0;
    int bufferHeight = 0;
    std::uint32_t mode = 0;
    std::uint32_t outputCodePage = 0;
    std::string title;
};

// The console's contents as read back through the console API.
struct ConsoleReadback {
    std::array<Cell, screenCellCount> cells{};
    int cursorX = 0;
    int cursorY = 0;
    bool cursorVisible = true;
};

class Win32Console final : public ConsoleDevice {
public:
    // Touches nothing: the console is taken over by setUp().
    Win32Console();
    ~Win32Console() override;
    Win32Console(const Win32Console&) = delete;
    Win32Console& operator=(const Win32Console&) = delete;

    // True when standard output is a console (the game can run).
    static bool attached();

    void setUp(std::string_view title) override;
    void setTitle(std::string_view title) override;
    void setCursorPosition(int x, int y) override;
    void setCursorVisible(bool visible) override;
    void setAttribute(std::uint16_t attribute) override;
    std::uint16_t attribute() const override;
    void fillCharacters(int x, int y, std::uint8_t ch, int count) override;
    void fillAttributes(int x, int y, std::uint16_t attribute, int count) override;
    void writeText(std::string_view text) override;
    void writeGlyphs(std::string_view glyphs) override;
    // Everything is written to the console at once; the frame's end asks the window to show it
    // when anything was drawn.
    void present() override;

    // Gives back what setUp() changed that the user would notice after the game: the wrap mode,
    // the code page and the cursor. The screen's contents stay. Safe to call more than once.
    void restore();

    // Reads the top-left 80 x 25 cells, the cursor and its visibility from the console. False
    // (and `out` untouched) when the console cannot be read.
    bool readBack(ConsoleReadback& out) const;

    static ConsoleState queryState();

private:
    // Moves every row up by one, blanks the last row in the attribute in force and puts the
    // cursor at its start: a line feed on the last row.
    void scrollUp();
    // Reads the cursor from the console when it is not known yet (before the first placement).
    void syncCursor();

    void* output_ = nullptr;
    bool setUp_ = false;
    // Something was drawn since the last present().
    bool drawn_ = false;
    mutable bool attributeKnown_ = false;
    mutable std::uint16_t attribute_ = 7;
    bool cursorKnown_ = false;
    int cursorX_ = 0;
    int cursorY_ = 0;
    // What setUp() found, for restore().
    std::uint32_t savedMode_ = 0;
    bool modeSaved_ = false;
    unsigned savedCodePage_ = 0;
    std::uint32_t savedCursorSize_ = 25;
    bool savedCursorVisible_ = true;
    bool cursorSaved_ = false;
};

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
    std::int32_t keyWentDown() const override { return wentDown_; }
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
    std::array<bool, 256> down_{};
    std::array<bool, 256> downSincePoll_{};
    std::array<bool, 256> polled_{};
    std::int32_t wentDown_ = 0;
    std::int32_t firstDown_ = 0;
    // Seen to agree with a press: the desktop's key state and the foreground window can tell
    // that a key is no longer held here (wine without a desktop knows neither).
    bool keyStateAgrees_ = false;
    bool foregroundAgrees_ = false;
};

class Win32Clock final : public Clock {
public:
    std::int64_t nowMs() override;
    LocalTime localTime() override;
};

// 100-nanosecond intervals since 1601-01-01 (a FILETIME) as milliseconds since 1970-01-01.
constexpr std::int64_t fileTimeToUnixMs(std::uint64_t fileTime) {
    constexpr std::int64_t unixEpochAsFileTime = 116444736000000000;
    return (static_cast<std::int64_t>(fileTime) - unixEpochAsFileTime) / 10000;
}

// The rule for a GetAsyncKeyState result: down when any of the upper eight bits is set (the low
// bits only tell about earlier presses).
constexpr bool keyStateIsDown(std::uint16_t state) { return (state & 0xFF00U) != 0; }

// Waits for a key press in the console's input (key releases and other events are ignored).
// Returns at once when there is no console input.
void waitForKeyPress();

// Number of processes attached to this console; 1 when the game has the console to itself
// (started by a double-click), 0 when it cannot be told.
int consoleProcessCount();

} // namespace platform::win32
