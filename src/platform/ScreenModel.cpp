#include "ScreenModel.h"

#include <algorithm>

namespace platform {

namespace {
constexpr std::uint8_t bell = 7;
constexpr std::uint8_t backspace = 8;
constexpr std::uint8_t tab = 9;
constexpr std::uint8_t lineFeedByte = 10;
constexpr std::uint8_t carriageReturn = 13;
} // namespace

ScreenModel::ScreenModel() = default;

void ScreenModel::setCursorPosition(int x, int y) {
    cursorX_ = std::clamp(x, 0, lastColumn);
    cursorY_ = std::clamp(y, 0, lastRow);
}

template <typename Change> void ScreenModel::fill(int x, int y, int count, Change change) {
    if (x < 0 || y < 0 || x > lastColumn || y > lastRow || count <= 0) {
        return;
    }
    const int start = index(x, y);
    const int end = std::min(start + count, screenCellCount);
    for (int i = start; i < end; ++i) {
        change(cells_[i]);
    }
    cellWrites_ += static_cast<std::uint64_t>(end - start);
}

void ScreenModel::fillCharacters(int x, int y, std::uint8_t ch, int count) {
    fill(x, y, count, [ch](Cell& cell) { cell.ch = ch; });
}

void ScreenModel::fillAttributes(int x, int y, std::uint16_t attribute, int count) {
    fill(x, y, count, [attribute](Cell& cell) { cell.attribute = attribute; });
}

void ScreenModel::put(std::uint8_t ch) {
    cells_[index(cursorX_, cursorY_)] = Cell{ch, attribute_};
    ++cellWrites_;
    if (cursorX_ < lastColumn) {
        ++cursorX_;
    }
}

void ScreenModel::lineFeed() {
    cursorX_ = 0;
    if (cursorY_ < lastRow) {
        ++cursorY_;
        return;
    }
    std::copy(cells_.begin() + screenWidth, cells_.end(), cells_.begin());
    std::fill(cells_.end() - screenWidth, cells_.end(), Cell{' ', attribute_});
    ++scrolls_;
}

void ScreenModel::writeText(std::string_view text) {
    for (const char c : text) {
        const auto ch = static_cast<std::uint8_t>(c);
        switch (ch) {
        case lineFeedByte:
            lineFeed();
            break;
        case carriageReturn:
            cursorX_ = 0;
            break;
        case tab: {
            const int stop = std::min((cursorX_ / tabWidth + 1) * tabWidth, lastColumn);
            while (cursorX_ < stop) {
                put(' ');
            }
            break;
        }
        case backspace:
            if (cursorX_ > 0) {
                --cursorX_;
            }
            break;
        case bell:
            break;
        default:
            put(ch);
            break;
        }
    }
}

void ScreenModel::writeGlyphs(std::string_view glyphs) {
    for (const char c : glyphs) {
        put(static_cast<std::uint8_t>(c));
    }
}

} // namespace platform
