// The boundary between the game and the machine it runs on. The game calls down through these
// three small interfaces; a back end (Win32 console, POSIX terminal, in-memory virtual console)
// implements them. Nothing here knows about the game.
#pragma once

#include "Focus.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace platform {

inline constexpr int screenWidth = 80;
inline constexpr int screenHeight = 25;
inline constexpr int screenCellCount = screenWidth * screenHeight;
inline constexpr int lastColumn = screenWidth - 1;
inline constexpr int lastRow = screenHeight - 1;
// A tab moves the cursor to the next multiple of this many columns.
inline constexpr int tabWidth = 8;

// A text console of 80 x 25 cells, each a byte and a colour attribute (low four bits foreground,
// next four background; 1 blue, 2 green, 4 red, 8 bright). Processed output is on and wrap at the
// end of a line is off: a byte written in column 79 leaves the cursor there. Calls never fail in a
// way the caller has to handle; a back end that cannot do something leaves the screen as it was.
class ConsoleDevice {
public:
    virtual ~ConsoleDevice() = default;

    // Called once, when the game's console is bound: 80 x 25 buffer, wrap off, the window title,
    // the program's icon.
    virtual void setUp(std::string_view title) = 0;
    // A new window title, after set-up (a notice the player should see without it touching the
    // screen). A back end without a title ignores it.
    virtual void setTitle(std::string_view /*title*/) {}

    // Places the cursor; later writes start at (x, y). Out-of-range values are clamped.
    virtual void setCursorPosition(int x, int y) = 0;
    virtual void setCursorVisible(bool visible) = 0;

    // The attribute of every byte written from now on.
    virtual void setAttribute(std::uint16_t attribute) = 0;
    virtual std::uint16_t attribute() const = 0;

    // Fill `count` cells starting at (x, y), row-major, with a byte or an attribute; the cursor
    // does not move.
    virtual void fillCharacters(int x, int y, std::uint8_t ch, int count) = 0;
    virtual void fillAttributes(int x, int y, std::uint16_t attribute, int count) = 0;

    // Processed text at the cursor: line feed, carriage return, tab, backspace and bell act as
    // console controls; every other byte is stored in its cell.
    virtual void writeText(std::string_view text) = 0;

    // Raw glyphs at the cursor: every byte, control bytes included, is stored as a character and
    // advances the cursor as a printable byte does.
    virtual void writeGlyphs(std::string_view glyphs) = 0;

    // The end of a frame: whatever was drawn since the last call reaches the screen now. Called
    // once at the end of every frame by the frame loop (and after a start-up message). Back ends
    // that write straight to the screen have nothing to do here.
    virtual void present() = 0;

    // What a view smaller than the screen must keep in sight, told by the game once a frame
    // before present(). A back end that always shows the whole screen ignores it.
    virtual void setFocus(const Focus& /*focus*/) {}
};

// What a key poll met besides keys. Anything but `Keys` ends the game: the frame loop stops at
// once, and the program's main decides how the process ends once the console is given back.
enum class InputStatus : std::uint8_t {
    Keys,        // keys only, or nothing at all
    Interrupted, // Ctrl-C, or an interrupt signal
    Terminated,  // a termination signal
    HungUp,      // the terminal went away (a hang-up signal, or its input was lost)
};

// A cell of the 80 x 25 screen that the player clicked or tapped.
struct ScreenPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// The keyboard, sampled by Windows virtual-key code, and the clicks of the left button.
class Keyboard {
public:
    virtual ~Keyboard() = default;

    // Called once per frame by the game's key poll, before any isDown of that frame. Back ends
    // that receive key events (terminals) gather them here. It only reads input: nothing is drawn,
    // and it never ends the process; what ends the game comes back as the status.
    virtual InputStatus sample() = 0;

    // Called by the frame loop between two frames. Blocks until input arrives (a key pressed,
    // released or repeated, a resize, a focus change, a signal, a hang-up) or `timeoutMs`
    // milliseconds have passed; a negative timeout waits with no limit. Returns at once when
    // input is already waiting. A back end that cannot wait returns at once.
    virtual void waitForInput(std::int64_t /*timeoutMs*/) {}

    // Milliseconds until a timer of the back end's own falls due (a lone Escape or an unfinished
    // sequence waiting for its end, a key's release timer, a notice), 0 when one is due now, or
    // -1 when none is pending. While one is pending the frame loop keeps running frames.
    virtual std::int64_t pendingTimerMs() const { return -1; }

    // The virtual-key code of a key, bound or not, that went down since the previous sample()
    // (the first such key when several did), or 0 when none did. Read after sample().
    virtual std::int32_t keyWentDown() const { return 0; }

    // True when the key with virtual-key code `vk` (0..255) is down now. Code 0 is never down.
    virtual bool isDown(int vk) = 0;

    // Called by the game once its key table is built, with the virtual-key code of every binding
    // (0 where a slot is unbound). A back end that has to ask for some input, such as a
    // terminal's mouse reports, asks only for what is bound; keys are read the same either way.
    virtual void useKeys(std::span<const std::int32_t> /*codes*/) {}

    // Called by the host once, before the game starts, with the player's pointing setting: when
    // on, a back end that has a mouse delivers the clicks of the left button (clicked()).
    virtual void deliverClicks(bool /*on*/) {}

    // The screen cell the left button last went down on since the previous sample(), or none (no
    // click, a click outside the screen, or clicks not asked for). Read after sample().
    virtual std::optional<ScreenPoint> clicked() const { return std::nullopt; }

    // Called by the game with the keys whose state it reads as held for as long as they are (the
    // panel key), not as steps. A back end whose keys come as strokes with no release keeps such a
    // key down from a stroke until its repeats could have begun.
    virtual void holdKeys(std::span<const std::int32_t> /*codes*/) {}
};

struct LocalTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Wall-clock time in milliseconds since 1970-01-01 00:00 UTC. May step backwards.
    virtual std::int64_t nowMs() = 0;
    // The local time of day, whole seconds.
    virtual LocalTime localTime() = 0;
};

// What a back end hands the game: its console, keyboard and clock. The pointers are not owned
// and must outlive the game.
struct Services {
    ConsoleDevice* console = nullptr;
    Keyboard* keyboard = nullptr;
    Clock* clock = nullptr;
};

} // namespace platform
