#include "posix/TerminalScreen.h"

#include "ScreenText.h"
#include "ansi/Notice.h"

#include <algorithm>
#include <string>

namespace platform::posix {

void TerminalScreen::present() {
    // Heard, the game's screen is drawn nowhere.
    if (!session_.taken() || session_.speaking()) {
        return;
    }
    if (sizeCheckDue_) {
        sizeCheckDue_ = false;
        checkSize();
    }
    if (tooSmall_ || (changes() == presentedChanges_ && !presenter_.repaintPending())) {
        return;
    }
    presentedChanges_ = changes();
    const std::string_view frame = presenter_.presentFrame(model(), out_);
    // A frame that did not fit or did not get through leaves the terminal unknown: the next one
    // draws everything.
    if (out_.overflowed() || (!frame.empty() && !terminal::write(frame))) {
        presenter_.invalidate();
    }
}

void TerminalScreen::checkSize() {
    terminal::Size size;
    const bool known = session_.windowSize(size);
    const bool small = known && ansi::tooSmallForView(size.columns, size.rows);
    presenter_.invalidate();
    if (small != tooSmall_) {
        tooSmall_ = small;
        listener_.noticeShown(small);
    }
    if (small) {
        // A notice in place of the game.
        terminal::write(ansi::noticeBytes(size.columns, size.rows, backColourErase_));
    } else {
        presenter_.placeIn(known ? size.columns : screenWidth, known ? size.rows : screenHeight);
    }
}

std::optional<ScreenPoint> TerminalScreen::screenCell(int column, int row) const {
    if (!session_.taken() || session_.speaking() || tooSmall_ || sizeCheckDue_) {
        return std::nullopt;
    }
    return presenter_.screenCell(column, row);
}

void TerminalScreen::useTraits(bool backColourErase, bool ascii) {
    backColourErase_ = backColourErase;
    ascii_ = ascii;
    presenter_.setBackgroundColourErase(backColourErase);
    presenter_.setAscii(ascii);
}

void TerminalScreen::printText() const {
    // The rows the game wrote on, without the blanks at their ends.
    std::string text;
    for (int y = 0; y < screenHeight; ++y) {
        const std::string line =
            screenRowText(model().cells(), y, ascii_ ? GlyphSet::Ascii : GlyphSet::Utf8);
        const std::size_t end = line.find_last_not_of(' ');
        if (end != std::string::npos) {
            text.append(line, 0, end + 1).append("\r\n");
        }
    }
    terminal::write(text);
}

} // namespace platform::posix
