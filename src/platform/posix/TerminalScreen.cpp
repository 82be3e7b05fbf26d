#include "posix/TerminalScreen.h"

#include "ScreenText.h"
#include "ansi/Notice.h"

#include <algorithm>
#include <string>

namespace platform::posix {

void TerminalScreen::setCursorPosition(int x, int y) {
    model_.setCursorPosition(x, y);
    changed_ = true;
}

void TerminalScreen::setCursorVisible(bool visible) {
    model_.setCursorVisible(visible);
    changed_ = true;
}

void TerminalScreen::fillCharacters(int x, int y, std::uint8_t ch, int count) {
    model_.fillCharacters(x, y, ch, count);
    changed_ = true;
}

void TerminalScreen::fillAttributes(int x, int y, std::uint16_t attribute, int count) {
    model_.fillAttributes(x, y, attribute, count);
    changed_ = true;
}

void TerminalScreen::writeText(std::string_view text) {
    model_.writeText(text);
    changed_ = true;
}

void TerminalScreen::writeGlyphs(std::string_view glyphs) {
    model_.writeGlyphs(glyphs);
    changed_ = true;
}

void TerminalScreen::present() {
    // Heard, the game's screen is drawn nowhere.
    if (!session_.taken() || session_.speaking()) {
        return;
    }
    if (sizeCheckDue_) {
        sizeCheckDue_ = false;
        checkSize();
    }
    if (tooSmall_ || (!changed_ && !presenter_.repaintPending())) {
        return;
    }
    changed_ = false;
    const std::string_view frame = presenter_.presentFrame(model_, out_);
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
            screenRowText(model_.cells(), y, ascii_ ? GlyphSet::Ascii : GlyphSet::Utf8);
        const std::size_t end = line.find_last_not_of(' ');
        if (end != std::string::npos) {
            text.append(line, 0, end + 1).append("\r\n");
        }
    }
    terminal::write(text);
}

} // namespace platform::posix
