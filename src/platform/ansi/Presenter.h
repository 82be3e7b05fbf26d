// Brings a terminal from what it shows to what the screen model holds, as few bytes as it can:
// only the cells that look different are written, colours are set only when they change, the
// cursor takes the cheapest way, and runs of blanks are erased where that is shorter (only where
// the terminal erases in the current background). A terminal smaller than the screen shows a view
// of it that keeps in sight what the game says matters (its focus). Pure: the bytes go to a
// buffer, the caller writes them.
#pragma once

#include "Platform.h"
#include "ScreenModel.h"
#include "ansi/ByteBuffer.h"
#include "ansi/View.h"

#include <array>
#include <cstdint>
#include <optional>

namespace platform::ansi {

using Cells = std::array<Cell, screenCellCount>;

// The largest output of one present(), full repaint included; a buffer of this size never
// overflows.
inline constexpr std::size_t maxPresentBytes = 64 * 1024;
// Frames of at least this many bytes are wrapped in a synchronized update.
inline constexpr std::size_t synchronizedFrameBytes = 1024;

// SGR colour numbers of a console attribute nibble (console bit 0 is blue, ANSI bit 0 is red).
int ansiForeground(int consoleColour);
int ansiBackground(int consoleColour);

// True when two cells look the same on a terminal: a blank shows only its background.
bool sameLook(const Cell& a, const Cell& b);

class Presenter {
public:
    Presenter();

    // Forgets what the terminal shows: the next present() clears the screen and draws it all.
    void invalidate();

    // Places the screen in a terminal of `columns` x `rows`: centred in a larger one; a smaller
    // one shows a view of the screen (see View). A new place forgets what the terminal shows.
    void placeIn(int columns, int rows);
    // The part of the screen the terminal shows.
    const Area& view() const { return view_.area(); }
    // What the view must keep in sight from the next present() on (see View).
    void setFocus(const Focus& focus) { focus_ = focus; }

    // False for a terminal that erases to its default colours rather than the current background
    // (GNU screen, say): blanks are then written, never erased. True at first.
    void setBackgroundColourErase(bool erases);
    // True for a terminal that cannot show Unicode: every glyph is written as its ASCII
    // look-alike. False at first.
    void setAscii(bool ascii);
    // The terminal's column and row (from 0) of the screen's top-left cell.
    int originX() const { return originX_; }
    int originY() const { return originY_; }
    // The screen cell the terminal shows at its `column` and `row` (from 0) as the last present()
    // placed it, or none there (beside a centred screen, past the view of a smaller terminal).
    std::optional<ScreenPoint> screenCell(int column, int row) const;

    // True until the present() that follows invalidate().
    bool repaintPending() const { return full_; }

    // Appends to `out` the bytes that make the terminal show `cells` with the cursor at
    // (cursorX, cursorY), shown, or hidden: a hidden cursor is left at the terminal's top-left.
    void present(const Cells& cells, int cursorX, int cursorY, bool cursorVisible, ByteBuffer& out);

    // One frame as the terminal is sent it: `out` is cleared and holds the bytes that bring the
    // terminal to `model`, a large frame wrapped in a synchronized update so that terminals which
    // know it show it at once rather than half drawn (the others ignore the mode). Returns the
    // bytes to write (empty when nothing looks different).
    std::string_view presentFrame(const ScreenModel& model, ByteBuffer& out);
    std::string_view presentFrame(const Cells& cells, int cursorX, int cursorY, bool cursorVisible,
                                  ByteBuffer& out);

    // What the terminal shows after the last present().
    const Cells& shown() const { return shown_; }

private:
    void moveTo(int x, int y, const Cell* row, ByteBuffer& out);
    void park(ByteBuffer& out);
    void setColours(int foreground, int background, ByteBuffer& out);
    void writeCell(int x, int y, const Cell& cell, ByteBuffer& out);
    int rewriteCost(const Cell* row, int from, int to) const;
    std::string_view glyph(std::uint8_t ch) const;

    Cells shown_{};
    bool full_ = true;
    int cursorX_ = -1; // -1: unknown (or waiting to wrap after the last column)
    int cursorY_ = -1;
    int foreground_ = -1; // console colour of the pen, -1 unknown
    int background_ = -1;
    int cursorShown_ = -1; // -1 unknown, 0 hidden, 1 shown
    bool parked_ = false;  // the cursor is known to be at the terminal's top-left
    int originX_ = 0;
    int originY_ = 0;
    bool rightMargin_ = false; // the terminal has columns right of the view
    View view_;
    Focus focus_;
    bool erases_ = true;
    bool ascii_ = false;
};

} // namespace platform::ansi
