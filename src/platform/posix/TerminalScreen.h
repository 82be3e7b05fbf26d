// The game's screen on a terminal: the game draws into a screen model; at the end of each frame
// the model is brought to the terminal as the difference from what the terminal shows, in one
// write. When the window is smaller than the screen, a notice stands in for the game, and the
// game stands still behind it (its keys up, its clock stopped) until the window is large enough.
#pragma once

#include "ModelConsole.h"
#include "Platform.h"
#include "ansi/ByteBuffer.h"
#include "ansi/Presenter.h"
#include "posix/TerminalSession.h"

#include <cstdint>
#include <optional>

namespace platform::posix {

// Told when the too-small notice goes up or comes down.
class NoticeListener {
public:
    virtual void noticeShown(bool shown) = 0;

protected:
    ~NoticeListener() = default;
};

class TerminalScreen final : public ModelConsole {
public:
    TerminalScreen(TerminalSession& session, NoticeListener& listener)
        : session_(session), listener_(listener) {}

    // The game draws into the model; its title goes to the window.
    void setUp(std::string_view title) override { session_.setTitle(title); }
    void setTitle(std::string_view title) override { session_.setTitle(title); }
    // The view of a smaller window follows the last focus when it is presented.
    void setFocus(const Focus& focus) override { presenter_.setFocus(focus); }
    void present() override;

    // The window may have a new size (it was resized, or the game resumed): it is looked at, and
    // the screen placed in it, at the next present.
    void checkSizeSoon() { sizeCheckDue_ = true; }
    bool sizeCheckDue() const { return sizeCheckDue_; }

    // How the terminal shows the screen: whether it erases in the current background (otherwise
    // blanks are written), and whether it gets ASCII look-alikes in place of UTF-8.
    void useTraits(bool backColourErase, bool ascii);

    // The screen cell the terminal's `column` and `row` (from 0) show, or none: where the screen
    // is not shown there, nor anywhere (heard, behind the too-small notice, or before the screen
    // is placed in a window of a new size).
    std::optional<ScreenPoint> screenCell(int column, int row) const;

    // The screen's text, after the terminal was given back: what the game showed last stays
    // readable in the terminal.
    void printText() const;

private:
    void checkSize();

    TerminalSession& session_;
    NoticeListener& listener_;
    ansi::Presenter presenter_;
    ansi::ByteBuffer out_{ansi::maxPresentBytes};
    // The model's changes at the last present (a frame with no drawing costs nothing); none yet.
    std::uint64_t presentedChanges_ = ~std::uint64_t{0};
    bool sizeCheckDue_ = true;
    bool tooSmall_ = false;
    bool backColourErase_ = true;
    bool ascii_ = false;
};

} // namespace platform::posix
