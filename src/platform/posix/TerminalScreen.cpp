#include "posix/TerminalScreen.h"

#include "Cp437.h"

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
    if (!session_.taken()) {
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
    const bool small = known && terminal::smallerThanScreen(size);
    presenter_.invalidate();
    if (small != tooSmall_) {
        tooSmall_ = small;
        listener_.noticeShown(small);
    }
    if (small) {
        showNotice(size);
    } else {
        presenter_.placeIn(known ? size.columns : screenWidth, known ? size.rows : screenHeight);
    }
}

// The notice in place of the game, its words wrapped to the width there is.
void TerminalScreen::showNotice(const terminal::Size& size) {
    const std::string notice = "The terminal is " + std::to_string(size.columns) + " x " +
                               std::to_string(size.rows) + ". Tharvok needs at least " +
                               std::to_string(screenWidth) + " x " + std::to_string(screenHeight) +
                               ": please make the window larger.";
    std::string bytes = "\x1b[0m\x1b[H\x1b[2J";
    std::size_t column = 0;
    int row = 0;
    std::size_t at = 0;
    const auto width = static_cast<std::size_t>(size.columns);
    while (at < notice.size() && row < size.rows) {
        std::size_t end = notice.find(' ', at);
        if (end == std::string::npos) {
            end = notice.size();
        }
        const std::size_t length = std::min(end - at, width);
        if (column != 0 && column + 1 + length > width) {
            bytes.append("\r\n");
            column = 0;
            ++row;
            if (row == size.rows) {
                break;
            }
        }
        if (column != 0) {
            bytes.push_back(' ');
            ++column;
        }
        bytes.append(notice, at, length);
        column += length;
        at = end == notice.size() ? end : end + 1;
    }
    terminal::write(bytes);
}

void TerminalScreen::printText() const {
    std::string text;
    for (int y = 0; y < screenHeight; ++y) {
        std::string line;
        for (int x = 0; x < screenWidth; ++x) {
            line.append(cp437Utf8(model_.cell(x, y).ch).view());
        }
        const std::size_t end = line.find_last_not_of(' ');
        if (end != std::string::npos) {
            text.append(line, 0, end + 1).append("\r\n");
        }
    }
    terminal::write(text);
}

} // namespace platform::posix
