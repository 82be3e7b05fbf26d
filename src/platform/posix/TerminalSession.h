// The game's hold on a terminal: the checks before it is taken, the window asked to grow to the
// screen's size (and asked back at the end, both on the game's own screen), the raw mode, the
// signal handlers, and the sequences that take the terminal (the alternate screen, the title,
// focus, mouse and keyboard reports) and give it back, kept up to date for the signal handlers.
#pragma once

#include "posix/Terminal.h"
#include "posix/TerminalTraits.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform::posix {

class TerminalSession {
public:
    // Checks that input and output are terminals and that the window is large enough (or may
    // grow), installs the signal handlers and switches to raw mode. False, with a message for the
    // user in `error`, when the game cannot run there; nothing is then left changed.
    // `speaking`: the game is heard, not seen; the terminal keeps its normal screen, colours,
    // cursor and title, whatever its size.
    bool open(std::string& error, bool speaking = false);
    // Takes the terminal: the alternate screen (or, without one, the user's lines pushed up into
    // the scrollback) and the reports; there a window smaller than the screen is asked to grow,
    // where the change of size leaves the user's lines alone. Queries a terminal may misread go
    // after this, to the game's own screen. False, with a message in `error`, when the window
    // stayed too small: the terminal is then given back.
    bool enter(std::string& error);
    // Once the keyboard protocol was asked for (`keyboardProtocol` tells whether the terminal
    // speaks it): the cursor placed again and the protocol's flags pushed.
    void take(bool keyboardProtocol);
    // Gives the terminal back, for good: the keyboard protocol popped and the other reports
    // turned off, the window's size asked back while the game's screen is still shown, the
    // user's screen and title, then the input the game did not read dropped (the keyboard
    // protocol's last reports are not the shell's), the mode and the handlers.
    void close();
    // The terminal is taken: the game draws and reads keys.
    bool taken() const { return taken_; }
    bool speaking() const { return speaking_; }
    // What the terminal says of itself, read when the session opened.
    const TerminalTraits& traits() const { return traits_; }

    // The window's title (control bytes dropped), set now.
    void setTitle(std::string_view text);
    // The terminal reports the mouse while `on` (a binding uses a button, or clicks are asked for).
    void setMouseReports(bool on);

    // The window's size, or false when the terminal does not tell. A size the user chose since
    // the game made the window grow is theirs to keep: it is then not asked back at the end.
    bool windowSize(terminal::Size& size);

private:
    std::string titleSequence() const;
    std::string enterSequence() const;
    // Giving the terminal back: the modes (the reports, the colours), then (at the end) the end
    // sequence, then the user's screen.
    std::string leaveModes() const;
    std::string leaveScreen() const;
    std::string endSequence() const;
    bool tooSmall(const terminal::Size& size, std::string& error) const;
    void updateSequences();
    terminal::Size grow(const terminal::Size& size);

    TerminalTraits traits_;
    bool speaking_ = false;
    // The window's rows when the game took it (without an alternate screen, that many lines
    // push the user's output up before the game draws).
    int rowsAtStart_ = screenHeight;
    std::string title_;
    bool taken_ = false;
    bool keyboardProtocol_ = false;
    bool mouseReports_ = false;
    // The window is smaller than the screen and may grow: it is asked to once the game's screen
    // is up.
    bool mayGrow_ = false;
    terminal::Size sizeAtStart_;
    // The window's size before the game asked it to grow, to be asked back at the end; only
    // while the window has the size it grew to.
    std::optional<terminal::Size> sizeToRestore_;
    terminal::Size grownSize_;
};

} // namespace platform::posix
