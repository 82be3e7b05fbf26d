#include "posix/TerminalSession.h"

#include "Platform.h"
#include "ansi/Notice.h"
#include "posix/Signals.h"
#include "posix/TerminalClock.h"

#include <algorithm>

namespace platform::posix {

namespace {

using terminal::Size;
using terminal::smallerThanScreen;

constexpr std::string_view saveTitle = "\x1b[22;0t";
constexpr std::string_view restoreTitle = "\x1b[23;0t";
constexpr std::string_view enterAlternateScreen = "\x1b[?1049h";
constexpr std::string_view leaveAlternateScreen = "\x1b[?1049l";
constexpr std::string_view hideCursor = "\x1b[?25l";
constexpr std::string_view showCursor = "\x1b[?25h";
constexpr std::string_view focusReportsOn = "\x1b[?1004h";
constexpr std::string_view focusReportsOff = "\x1b[?1004l";
constexpr std::string_view mouseReportsOn = "\x1b[?1000h\x1b[?1006h";
constexpr std::string_view mouseReportsOff = "\x1b[?1006l\x1b[?1000l";
constexpr std::string_view pushKeyboardFlags = "\x1b[>11u"; // disambiguate, events, all keys
constexpr std::string_view popKeyboardFlags = "\x1b[<u";
constexpr std::string_view resetColours = "\x1b[0m";
// The cursor at the top-left: placed after the probe (which a terminal may misread as a cursor
// restore), and where a change of the window's size pushes none of the user's lines away.
constexpr std::string_view homeCursor = "\x1b[H";
// Without an alternate screen: the game ends on a fresh line below its last screen.
constexpr std::string_view belowTheGame = "\x1b[999;1H\r\n";
// Cancels whatever sequence a signal may have cut short.
constexpr std::string_view cancel = "\x18";

// How long a terminal asked to grow is given to do it, and how often its size is looked at.
constexpr int growWaitMs = 300;
constexpr int growCheckMs = 10;

// Asks the terminal to make its window this size (several terminals do, many ignore it).
std::string resizeRequest(const Size& size) {
    return "\x1b[8;" + std::to_string(size.rows) + ";" + std::to_string(size.columns) + "t";
}

} // namespace

bool TerminalSession::open(std::string& error, bool speaking) {
    speaking_ = speaking;
    if (!terminal::inputIsTerminal()) {
        error = "standard input is not a terminal; run Tharvok in a terminal window";
        return false;
    }
    if (!terminal::outputIsTerminal()) {
        error = "standard output is not a terminal; run Tharvok in a terminal window";
        return false;
    }
    traits_ = readTerminalTraits();
    Size size;
    const bool known = terminal::windowSize(size);
    // Only a terminal whose answer can be trusted is asked to grow; elsewhere a smaller window
    // shows a view of the screen.
    mayGrow_ = known && !speaking_ && smallerThanScreen(size) && traits_.growsHonestly;
    if (known && !speaking_) {
        rowsAtStart_ = size.rows;
        sizeAtStart_ = size;
        // A window that may grow is judged by the size it grows to.
        if (!mayGrow_ && tooSmall(size, error)) {
            return false;
        }
    }
    updateSequences();
    signals::install();
    if (!terminal::enterRawMode()) {
        signals::remove();
        error = "the terminal's mode cannot be set";
        return false;
    }
    return true;
}

bool TerminalSession::enter(std::string& error) {
    updateSequences();
    terminal::write(enterSequence());
    taken_ = true;
    if (mayGrow_) {
        mayGrow_ = false;
        const Size size = grow(sizeAtStart_);
        rowsAtStart_ = size.rows;
        updateSequences();
        if (tooSmall(size, error)) {
            close();
            return false;
        }
    }
    return true;
}

void TerminalSession::take(bool keyboardProtocol) {
    keyboardProtocol_ = keyboardProtocol;
    updateSequences();
    if (speaking_) {
        // The sentences go on where the user's lines stand; only the protocol is asked for.
        terminal::write(keyboardProtocol ? pushKeyboardFlags : std::string_view());
        return;
    }
    terminal::write(keyboardProtocol ? std::string(homeCursor).append(pushKeyboardFlags)
                                     : std::string(homeCursor));
}

void TerminalSession::close() {
    if (!taken_) {
        return;
    }
    taken_ = false;
    terminal::write(leaveModes() + endSequence() + leaveScreen());
    // The input goes after the protocol was popped: what the terminal sent before that (the
    // release of Ctrl after a Ctrl-C, say) is dropped, what it sends after is plain keys.
    terminal::dropInput();
    terminal::restoreMode();
    signals::remove();
}

void TerminalSession::setTitle(std::string_view text) {
    title_.clear();
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) {
            title_.push_back(c);
        }
    }
    if (speaking_) {
        return;
    }
    updateSequences();
    terminal::write(titleSequence());
}

void TerminalSession::setMouseReports(bool on) {
    if (on == mouseReports_) {
        return;
    }
    mouseReports_ = on;
    updateSequences();
    if (taken_) {
        terminal::write(on ? mouseReportsOn : mouseReportsOff);
    }
}

bool TerminalSession::windowSize(Size& size) {
    const bool known = terminal::windowSize(size);
    if (sizeToRestore_ && known && size != grownSize_) {
        sizeToRestore_.reset();
        updateSequences();
    }
    return known;
}

std::string TerminalSession::titleSequence() const {
    return title_.empty() ? std::string() : "\x1b]0;" + title_ + "\x07";
}

std::string TerminalSession::enterSequence() const {
    std::string bytes;
    if (speaking_) {
        bytes.append(focusReportsOn);
        if (mouseReports_) {
            bytes.append(mouseReportsOn);
        }
        return keyboardProtocol_ ? bytes.append(pushKeyboardFlags) : bytes;
    }
    bytes.append(saveTitle);
    if (traits_.alternateScreen) {
        bytes.append(enterAlternateScreen);
    } else {
        bytes.append("\r").append(static_cast<std::size_t>(rowsAtStart_), '\n');
    }
    bytes.append(hideCursor).append(focusReportsOn);
    if (mouseReports_) {
        bytes.append(mouseReportsOn);
    }
    if (keyboardProtocol_) {
        bytes.append(pushKeyboardFlags); // the alternate screen has its own stack of flags
    }
    return bytes.append(titleSequence());
}

std::string TerminalSession::leaveModes() const {
    std::string bytes;
    if (keyboardProtocol_) {
        bytes.append(popKeyboardFlags); // before the alternate screen, whose flags they are
    }
    if (mouseReports_) {
        bytes.append(mouseReportsOff);
    }
    bytes.append(focusReportsOff);
    return speaking_ ? bytes : bytes.append(resetColours);
}

std::string TerminalSession::leaveScreen() const {
    if (speaking_) {
        return std::string();
    }
    std::string bytes(showCursor);
    return bytes.append(traits_.alternateScreen ? leaveAlternateScreen : belowTheGame)
        .append(restoreTitle);
}

// What goes in before the user's screen when the game ends (a suspend keeps the window as it
// is): the window's size asked back from the game's screen, the cursor at its top-left, where a
// change of size pushes no line away.
std::string TerminalSession::endSequence() const {
    return sizeToRestore_ ? std::string(homeCursor).append(resizeRequest(*sizeToRestore_))
                          : std::string();
}

void TerminalSession::updateSequences() {
    terminal::setEnterSequence(enterSequence());
    std::string leave(cancel);
    leave.append(leaveModes());
    const std::size_t endAt = leave.size();
    leave.append(leaveScreen());
    terminal::setLeaveSequence(leave, endAt);
    terminal::setEndSequence(endSequence());
}

bool TerminalSession::tooSmall(const Size& size, std::string& error) const {
    if (!ansi::tooSmallForView(size.columns, size.rows)) {
        return false;
    }
    error = "the terminal is " + std::to_string(size.columns) + " x " + std::to_string(size.rows) +
            " characters; Tharvok needs at least " + std::to_string(ansi::minViewColumns) + " x " +
            std::to_string(ansi::minViewRows) + " (columns x rows)";
    return true;
}

// Asks a window smaller than the screen to grow to at least its size, keeping a larger width or
// height, and gives it a moment to do so. The size it has then. Asked on the game's screen with
// the cursor at its top-left: the user's screen keeps its lines where they were.
Size TerminalSession::grow(const Size& size) {
    const Size wanted{std::max(size.columns, screenWidth), std::max(size.rows, screenHeight)};
    if (!terminal::write(std::string(homeCursor).append(resizeRequest(wanted)))) {
        return size;
    }
    Size now = size;
    const std::int64_t deadline = steadyMs() + growWaitMs;
    while (steadyMs() < deadline) {
        terminal::sleepMs(growCheckMs);
        if (terminal::windowSize(now) && !smallerThanScreen(now)) {
            break;
        }
    }
    if (now != size) {
        sizeToRestore_ = size;
        grownSize_ = now;
    }
    return now;
}

} // namespace platform::posix
