#include "ansi/Presenter.h"

#include "AsciiGlyphs.h"
#include "Cp437.h"

#include <algorithm>

namespace platform::ansi {

namespace {

int foregroundOf(const Cell& cell) { return cell.attribute & 0x0F; }
int backgroundOf(const Cell& cell) { return (cell.attribute >> 4) & 0x0F; }
bool isBlank(const Cell& cell) { return cell.ch == ' ' || cell.ch == 0; }

// What a cell shows after an erase by a terminal that erases to its own default colours: like
// nothing the screen holds, so that every cell is written.
constexpr Cell unknownCell{0, 0xFFFF};
bool isUnknown(const Cell& cell) { return cell.attribute == unknownCell.attribute; }

// Each byte's ASCII look-alike, as text.
const std::array<char, 256>& asciiGlyphs() {
    static const std::array<char, 256> table = [] {
        std::array<char, 256> glyphs{};
        for (int b = 0; b < 256; ++b) {
            glyphs[static_cast<std::size_t>(b)] = asciiGlyph(static_cast<std::uint8_t>(b));
        }
        return glyphs;
    }();
    return table;
}

int ansiColour(int consoleColour) {
    return ((consoleColour & 1) << 2) | (consoleColour & 2) | ((consoleColour & 4) >> 2);
}

int digits(int value) {
    int n = 1;
    while (value >= 10) {
        value /= 10;
        ++n;
    }
    return n;
}

// ESC [ n X: CSI, the count (left out when it is 1), the final byte.
int countedCost(int n) { return n == 1 ? 3 : 3 + digits(n); }

int absoluteCost(int x, int y) {
    if (x == 0) {
        return y == 0 ? 3 : 3 + digits(y + 1);
    }
    return 4 + digits(y + 1) + digits(x + 1);
}

void appendCounted(ByteBuffer& out, int n, char final) {
    out.append("\x1b[");
    if (n != 1) {
        out.appendNumber(n);
    }
    out.push(final);
}

// Down by line feeds or CUD, whichever is shorter, or up by CUU; the column stays.
void appendVertical(int dy, ByteBuffer& out) {
    if (dy > 0) {
        if (dy <= countedCost(dy)) {
            for (int i = 0; i < dy; ++i) {
                out.push('\n');
            }
        } else {
            appendCounted(out, dy, 'B');
        }
    } else if (dy < 0) {
        appendCounted(out, -dy, 'A');
    }
}

} // namespace

int ansiForeground(int consoleColour) {
    return ((consoleColour & 8) != 0 ? 90 : 30) + ansiColour(consoleColour);
}

int ansiBackground(int consoleColour) {
    return ((consoleColour & 8) != 0 ? 100 : 40) + ansiColour(consoleColour);
}

bool sameLook(const Cell& a, const Cell& b) {
    if (isUnknown(a) || isUnknown(b)) {
        return false;
    }
    if (backgroundOf(a) != backgroundOf(b)) {
        return false;
    }
    if (isBlank(a) || isBlank(b)) {
        return isBlank(a) && isBlank(b);
    }
    return a.ch == b.ch && foregroundOf(a) == foregroundOf(b);
}

Presenter::Presenter() { invalidate(); }

void Presenter::invalidate() {
    full_ = true;
    parked_ = false;
    cursorX_ = -1;
    cursorY_ = -1;
    foreground_ = -1;
    background_ = -1;
    cursorShown_ = -1;
}

void Presenter::placeIn(int columns, int rows) {
    const int x = std::max(0, (columns - screenWidth) / 2);
    const int y = std::max(0, (rows - screenHeight) / 2);
    const int width = std::clamp(columns, 1, screenWidth);
    const int height = std::clamp(rows, 1, screenHeight);
    const bool margin = columns > x + width;
    if (x != originX_ || y != originY_ || margin != rightMargin_ || width != view_.area().width ||
        height != view_.area().height) {
        originX_ = x;
        originY_ = y;
        rightMargin_ = margin;
        view_.resize(width, height);
        invalidate();
    }
}

std::optional<ScreenPoint> Presenter::screenCell(int column, int row) const {
    const Area& view = view_.area();
    const int x = column - originX_;
    const int y = row - originY_;
    if (x < 0 || y < 0 || x >= view.width || y >= view.height) {
        return std::nullopt;
    }
    return ScreenPoint{view.x + x, view.y + y};
}

void Presenter::setBackgroundColourErase(bool erases) {
    if (erases != erases_) {
        erases_ = erases;
        invalidate();
    }
}

void Presenter::setAscii(bool ascii) {
    if (ascii != ascii_) {
        ascii_ = ascii;
        invalidate();
    }
}

std::string_view Presenter::glyph(std::uint8_t ch) const {
    if (ascii_) {
        return {&asciiGlyphs()[ch], 1};
    }
    return cp437Utf8(ch).view();
}

void Presenter::setColours(int foreground, int background, ByteBuffer& out) {
    const bool fg = foreground >= 0 && foreground != foreground_;
    const bool bg = background != background_;
    if (!fg && !bg) {
        return;
    }
    out.append("\x1b[");
    if (fg) {
        out.appendNumber(ansiForeground(foreground));
        foreground_ = foreground;
    }
    if (bg) {
        if (fg) {
            out.push(';');
        }
        out.appendNumber(ansiBackground(background));
        background_ = background;
    }
    out.push('m');
}

// The bytes it takes to write the row's cells [from, to) again as they are, or a large number
// when the pen would have to change on the way.
int Presenter::rewriteCost(const Cell* row, int from, int to) const {
    int cost = 0;
    for (int x = from; x < to; ++x) {
        const Cell& cell = row[x];
        if (backgroundOf(cell) != background_ ||
            (!isBlank(cell) && foregroundOf(cell) != foreground_)) {
            return 1 << 20;
        }
        cost += static_cast<int>(glyph(cell.ch).size());
    }
    return cost;
}

void Presenter::moveTo(int x, int y, const Cell* row, ByteBuffer& out) {
    if (x == cursorX_ && y == cursorY_) {
        return;
    }
    parked_ = false;
    // The terminal's column and row.
    const Area& view = view_.area();
    const int column = originX_ + x - view.x;
    const int line = originY_ + y - view.y;
    const int absolute = absoluteCost(column, line);
    if (cursorY_ < 0) {
        out.append("\x1b[");
        if (line != 0 || column != 0) {
            out.appendNumber(line + 1);
        }
        if (column != 0) {
            out.push(';');
            out.appendNumber(column + 1);
        }
        out.push('H');
        cursorX_ = x;
        cursorY_ = y;
        return;
    }
    // Relative: first the row (line feeds or CUU/CUD), then the column from where the cursor is
    // (or from column 0 after a carriage return).
    const int dy = y - cursorY_;
    const int verticalCost = dy == 0  ? 0
                             : dy > 0 ? std::min(dy, countedCost(dy))
                                      : countedCost(-dy);
    int fromX = cursorX_;
    int returnCost = 0;
    // A carriage return goes to the terminal's first column, the view's only when it is there.
    const int first = view.x;
    if (fromX < 0) {
        // Waiting to wrap (only when the view ends at the terminal's last column, so starts at
        // its first): a carriage return puts the cursor in the view's first column of its row.
        fromX = first;
        returnCost = 1;
    }
    const bool returnToScreen = originX_ == 0;
    enum class Way { Stay, Forward, Rewrite, Back, Return, ReturnForward, ReturnRewrite };
    Way way = Way::Stay;
    int horizontalCost = 0;
    if (x > fromX) {
        const int rewrite = rewriteCost(row, fromX, x);
        const int forward = countedCost(x - fromX);
        way = rewrite <= forward ? Way::Rewrite : Way::Forward;
        horizontalCost = std::min(rewrite, forward);
    } else if (x < fromX) {
        const int back = countedCost(fromX - x);
        if (!returnToScreen) {
            way = Way::Back;
            horizontalCost = back;
        } else if (x == first) {
            way = Way::Return;
            horizontalCost = 1;
        } else {
            const int rewrite = rewriteCost(row, first, x);
            const int forward = countedCost(x - first);
            const int viaReturn = 1 + std::min(rewrite, forward);
            if (back <= viaReturn) {
                way = Way::Back;
                horizontalCost = back;
            } else {
                way = rewrite <= forward ? Way::ReturnRewrite : Way::ReturnForward;
                horizontalCost = viaReturn;
            }
        }
    }
    if (absolute < returnCost + verticalCost + horizontalCost) {
        cursorY_ = -1;
        moveTo(x, y, row, out);
        return;
    }
    // The row as above, then the column named outright: cheaper from a cursor waiting to wrap
    // (no carriage return first) or far from its column.
    const int columnCost = verticalCost + countedCost(column + 1);
    if (columnCost < returnCost + verticalCost + horizontalCost) {
        appendVertical(dy, out);
        appendCounted(out, column + 1, 'G');
        cursorX_ = x;
        cursorY_ = y;
        return;
    }
    if (returnCost != 0) {
        out.push('\r');
    }
    appendVertical(dy, out);
    switch (way) {
    case Way::Stay:
        break;
    case Way::Forward:
        appendCounted(out, x - fromX, 'C');
        break;
    case Way::Rewrite:
        for (int i = fromX; i < x; ++i) {
            out.append(glyph(row[i].ch));
        }
        break;
    case Way::Back:
        appendCounted(out, fromX - x, 'D');
        break;
    case Way::Return:
        out.push('\r');
        break;
    case Way::ReturnForward:
        out.push('\r');
        appendCounted(out, x - first, 'C');
        break;
    case Way::ReturnRewrite:
        out.push('\r');
        for (int i = first; i < x; ++i) {
            out.append(glyph(row[i].ch));
        }
        break;
    }
    cursorX_ = x;
    cursorY_ = y;
}

void Presenter::writeCell(int x, int y, const Cell& cell, ByteBuffer& out) {
    if (isBlank(cell)) {
        setColours(-1, backgroundOf(cell), out);
        out.push(' ');
    } else {
        setColours(foregroundOf(cell), backgroundOf(cell), out);
        out.append(glyph(cell.ch));
    }
    shown_[static_cast<std::size_t>(y * screenWidth + x)] = cell;
    parked_ = false;
    // After the terminal's last column it waits to wrap; where the cursor then is depends on it.
    const Area& view = view_.area();
    cursorX_ = x < view.x + view.width - 1 || rightMargin_ ? x + 1 : -1;
}

void Presenter::present(const Cells& cells, int cursorX, int cursorY, bool cursorVisible,
                        ByteBuffer& out) {
    if (view_.follow(focus_)) {
        invalidate();
    }
    if (full_) {
        // Reset the pen, black background, clear: every cell then shows a blank on black, or on
        // the terminal's default background where it erases to that.
        out.append("\x1b[0;40m\x1b[2J");
        foreground_ = -1;
        background_ = 0;
        shown_.fill(erases_ ? Cell{' ', 0} : unknownCell);
        full_ = false;
        cursorX_ = -1;
        cursorY_ = -1;
    }
    const Area& view = view_.area();
    const int right = view.x + view.width;
    for (int y = view.y; y < view.y + view.height; ++y) {
        const Cell* want = &cells[static_cast<std::size_t>(y * screenWidth)];
        Cell* have = &shown_[static_cast<std::size_t>(y * screenWidth)];
        int x = view.x;
        while (x < right) {
            if (sameLook(have[x], want[x])) {
                ++x;
                continue;
            }
            if (isBlank(want[x]) && erases_) {
                const int background = backgroundOf(want[x]);
                int end = x;
                while (end < right && isBlank(want[end]) && backgroundOf(want[end]) == background) {
                    ++end;
                }
                int last = x;
                for (int i = x; i < end; ++i) {
                    if (!sameLook(have[i], want[i])) {
                        last = i;
                    }
                }
                const int count = last - x + 1;
                // Erasing to the end of the line also erases the terminal's columns right of the
                // screen, in this background: only where there are none, or in black like them.
                const bool toEnd = end == right && (!rightMargin_ || background == 0);
                const int eraseCost = toEnd ? 3 : countedCost(count);
                // Writing blanks leaves the cursor after them; erasing leaves it where it was, and
                // the next change may need a move of a few bytes more.
                const int moveAfter = toEnd ? 0 : 3;
                if (eraseCost + moveAfter < count) {
                    moveTo(x, y, want, out);
                    setColours(-1, background, out);
                    if (toEnd) {
                        out.append("\x1b[K");
                    } else {
                        appendCounted(out, count, 'X');
                    }
                    const int erasedEnd = toEnd ? right : last + 1;
                    for (int i = x; i < erasedEnd; ++i) {
                        have[i] = want[i];
                    }
                    x = erasedEnd;
                    continue;
                }
            }
            moveTo(x, y, want, out);
            writeCell(x, y, want[x], out);
            ++x;
        }
    }
    const bool cursorInView =
        cursorX >= view.x && cursorX < right && cursorY >= view.y && cursorY < view.y + view.height;
    if (cursorVisible && cursorInView) {
        moveTo(cursorX, cursorY, &cells[static_cast<std::size_t>(cursorY * screenWidth)], out);
        if (cursorShown_ != 1) {
            out.append("\x1b[?25h");
            cursorShown_ = 1;
        }
    } else {
        if (cursorShown_ != 0) {
            out.append("\x1b[?25l");
            cursorShown_ = 0;
        }
        park(out);
    }
}

// A window that loses rows keeps the cursor's row in sight by pushing the rows above it off the
// top, and xterm and st do so to the user's screen kept behind the game's as well: the user's
// lines from before the game would be gone when it ends. From the terminal's first row nothing is
// pushed, and from its first column a narrower window does not move the cursor either. The
// terminal's top-left, not the screen's: in a larger window the screen is centred below rows of
// the terminal's own.
void Presenter::park(ByteBuffer& out) {
    if (parked_) {
        return;
    }
    out.append("\x1b[H");
    parked_ = true;
    // Where the screen starts at the terminal's top-left, the next move may start from there.
    const bool atScreen = originX_ == 0 && originY_ == 0;
    cursorX_ = atScreen ? view_.area().x : -1;
    cursorY_ = atScreen ? view_.area().y : -1;
}

std::string_view Presenter::presentFrame(const ScreenModel& model, ByteBuffer& out) {
    return presentFrame(model.cells(), model.cursorX(), model.cursorY(), model.cursorVisible(),
                        out);
}

std::string_view Presenter::presentFrame(const Cells& cells, int cursorX, int cursorY,
                                         bool cursorVisible, ByteBuffer& out) {
    static constexpr std::string_view beginUpdate = "\x1b[?2026h";
    static constexpr std::string_view endUpdate = "\x1b[?2026l";
    out.clear();
    out.append(beginUpdate);
    const std::size_t start = out.size();
    present(cells, cursorX, cursorY, cursorVisible, out);
    if (out.size() - start < synchronizedFrameBytes) {
        return out.view().substr(start);
    }
    out.append(endUpdate);
    return out.view();
}

} // namespace platform::ansi
