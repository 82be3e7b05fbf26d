// A small terminal for the tests: it plays back what the presenter writes (UTF-8 text, CR, LF,
// backspace, cursor moves (CUP, CUU, CUD, CUF, CUB, CHA), SGR colours, erases, cursor visibility)
// with autowrap as real terminals do, and keeps a note of anything it does not understand.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace posixtest {

struct TermCell {
    char32_t ch = U' ';
    int foreground = 39; // SGR colour number, 39/49 the terminal's defaults
    int background = 49;
};

class TerminalEmulator {
public:
    TerminalEmulator(int columns, int rows);

    void feed(std::string_view bytes);
    // False: erases leave the default background, not the current one (GNU screen's way).
    void setBackColourErase(bool erases) { erases_ = erases; }

    const TermCell& at(int x, int y) const {
        return cells_[static_cast<std::size_t>(y * columns_ + x)];
    }
    int columns() const { return columns_; }
    int rows() const { return rows_; }
    int cursorX() const { return x_; }
    int cursorY() const { return y_; }
    bool cursorVisible() const { return cursorVisible_; }
    int scrolls() const { return scrolls_; }
    // Sequences and bytes the emulator did not know, described.
    const std::vector<std::string>& unknown() const { return unknown_; }

private:
    void print(char32_t ch);
    void lineFeed();
    void csi(std::string_view params, char final);
    void erase(int fromX, int toX, int y);

    int columns_;
    int rows_;
    std::vector<TermCell> cells_;
    int x_ = 0;
    int y_ = 0;
    bool wrapPending_ = false;
    bool cursorVisible_ = true;
    int foreground_ = 39;
    int background_ = 49;
    int scrolls_ = 0;
    bool erases_ = true;
    std::vector<std::string> unknown_;

    enum class State { Ground, Escape, Csi };
    State state_ = State::Ground;
    std::string sequence_;
    char32_t utf8Code_ = 0;
    int utf8Left_ = 0;
};

} // namespace posixtest
