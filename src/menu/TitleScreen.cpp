#include "menu/TitleScreen.h"

#include "core/Console.h"
#include "menu/MainMenu.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <string_view>

namespace {

// The banner: "THAR" above, "VOK" below, each letter five rows high and drawn with copies of
// itself. Leading tabs and blanks put the upper block at column 22 and the lower one at 16; the
// narrow V keeps the lower letters on the upper block's seven-column pitch.
constexpr std::array<std::string_view, 5> upperBlock = {
    "\t\t      TTTTTT HH  HH  AAAA  RRRRR",  "\t\t        TT   HH  HH AA  AA RR  RR",
    "\t\t        TT   HHHHHH AAAAAA RRRRR",  "\t\t        TT   HH  HH AA  AA RR RR",
    "\t\t        TT   HH  HH AA  AA RR  RR",
};

constexpr std::array<std::string_view, 5> lowerBlock = {
    "\t        V   V  OOOO  KK  KK", "\t        V   V OO  OO KK KK",  "\t        V   V OO  OO KKKK",
    "\t         V V  OO  OO KK KK",  "\t          V    OOOO  KK  KK",
};

constexpr int itemColumn = 35;
constexpr int markerColumn = 33;
constexpr int arrowTopRow = 5;
constexpr int leftArrowColumn = 7;
constexpr int rightArrowColumn = 67;

constexpr std::array<std::string_view, 5> leftArrow = {
    "   <<<<", "  <<<< ", " <<<<  ", "  <<<< ", "   <<<<",
};

constexpr std::array<std::string_view, 5> rightArrow = {
    ">>>>   ", " >>>>  ", "  >>>> ", " >>>>  ", ">>>>   ",
};

} // namespace

void drawBanner(Console& console) {
    console.writeText("\n");
    for (const std::string_view line : upperBlock) {
        console.writeLine(line);
    }
    console.writeText("\n");
    for (const std::string_view line : lowerBlock) {
        console.writeLine(line);
    }
    for (std::size_t i = 0; i < leftArrow.size(); ++i) {
        console.moveCursor(leftArrowColumn, arrowTopRow + static_cast<int>(i));
        console.writeLine(leftArrow[i]);
    }
    for (std::size_t i = 0; i < rightArrow.size(); ++i) {
        console.moveCursor(rightArrowColumn, arrowTopRow + static_cast<int>(i));
        console.writeLine(rightArrow[i]);
    }
}

void TitleScreen::draw(Console& console, const MainMenu& menu) {
    const auto moved = [](const MenuEvent& event) {
        return event.kind == MenuEvent::Kind::MarkerMoved;
    };
    // (std::none_of over the span: the page's standard library has no ranges algorithms.)
    const std::span<const MenuEvent> events = menu.events();
    if (shown_ && std::none_of(events.begin(), events.end(), moved)) {
        return;
    }
    shown_ = true;
    // Between two items none is selected.
    const std::optional<std::size_t> selected = menu.item();
    console.clear();
    console.setAttribute(attrBrightWhite);
    drawBanner(console);
    for (std::size_t i = 0; i < menuLabels.size(); ++i) {
        const int row = menuFirstRow + 2 * static_cast<int>(i);
        console.moveCursor(itemColumn, row);
        if (selected == i) {
            console.setAttribute(attrDarkRed);
            console.writeLine(menuLabels[i]);
            console.moveCursor(markerColumn, row);
            console.writeChar('>');
        } else {
            console.setAttribute(attrBrightWhite);
            console.writeLine(menuLabels[i]);
        }
    }
}

namespace {

// Widens [from, to) to the columns of `line`'s glyphs written from `column` (tabs expanded).
void spanOf(std::string_view line, int column, int& from, int& to) {
    for (const char ch : line) {
        if (ch == '\t') {
            column = (column / 8 + 1) * 8;
            continue;
        }
        if (ch != ' ') {
            from = std::min(from, column);
            to = std::max(to, column + 1);
        }
        ++column;
    }
}

} // namespace

platform::Area titleArea() {
    int from = platform::screenWidth;
    int to = 0;
    for (const auto* block : {&upperBlock, &lowerBlock}) {
        for (const std::string_view line : *block) {
            spanOf(line, 0, from, to);
        }
    }
    for (const std::string_view line : leftArrow) {
        spanOf(line, leftArrowColumn, from, to);
    }
    for (const std::string_view line : rightArrow) {
        spanOf(line, rightArrowColumn, from, to);
    }
    for (const std::string_view label : menuLabels) {
        spanOf(label, itemColumn, from, to);
    }
    spanOf(">", markerColumn, from, to);
    // From the banner's first row (below the blank top row) to the menu's last.
    const int bottom = menuFirstRow + 2 * static_cast<int>(menuLabels.size()) - 1;
    return platform::Area{from, 1, to - from, bottom - 1};
}
