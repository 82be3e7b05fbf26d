// An 80 x 25 console screen held in memory, with exactly the behaviour of a Windows console whose
// processed output is on and whose wrap at the end of a line is off. The virtual console and the
// terminal back end both draw into one of these.
#pragma once

#include "Platform.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace platform {

struct Cell {
    std::uint8_t ch = ' ';
    std::uint16_t attribute = 7;
    friend bool operator==(const Cell&, const Cell&) = default;
};

class ScreenModel {
public:
    ScreenModel();

    void setCursorPosition(int x, int y);
    void setCursorVisible(bool visible) { cursorVisible_ = visible; }
    void setAttribute(std::uint16_t attribute) { attribute_ = attribute; }
    std::uint16_t attribute() const { return attribute_; }
    void fillCharacters(int x, int y, std::uint8_t ch, int count);
    void fillAttributes(int x, int y, std::uint16_t attribute, int count);
    void writeText(std::string_view text);
    void writeGlyphs(std::string_view glyphs);

    const Cell& cell(int x, int y) const { return cells_[index(x, y)]; }
    const std::array<Cell, screenCellCount>& cells() const { return cells_; }
    int cursorX() const { return cursorX_; }
    int cursorY() const { return cursorY_; }
    bool cursorVisible() const { return cursorVisible_; }

    // Cells stored by writes and fills since construction; lets tests bound what a frame costs.
    std::uint64_t cellWrites() const { return cellWrites_; }
    // Number of times the screen scrolled up.
    std::uint64_t scrolls() const { return scrolls_; }

private:
    static int index(int x, int y) { return y * screenWidth + x; }
    template <typename Change> void fill(int x, int y, int count, Change change);
    void put(std::uint8_t ch);
    void lineFeed();

    std::array<Cell, screenCellCount> cells_{};
    int cursorX_ = 0;
    int cursorY_ = 0;
    bool cursorVisible_ = true;
    std::uint16_t attribute_ = 7;
    std::uint64_t cellWrites_ = 0;
    std::uint64_t scrolls_ = 0;
};

} // namespace platform
