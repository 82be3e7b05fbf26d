#include "TerminalEmulator.h"

#include <algorithm>
#include <sstream>

namespace posixtest {

TerminalEmulator::TerminalEmulator(int columns, int rows)
    : columns_(columns), rows_(rows), cells_(static_cast<std::size_t>(columns * rows)) {}

void TerminalEmulator::erase(int fromX, int toX, int y) {
    for (int x = std::max(fromX, 0); x < std::min(toX, columns_); ++x) {
        // An erased cell is blank in the current background (as xterm-like terminals do).
        cells_[static_cast<std::size_t>(y * columns_ + x)] =
            TermCell{U' ', 39, erases_ ? background_ : 49};
    }
}

void TerminalEmulator::lineFeed() {
    if (y_ + 1 < rows_) {
        ++y_;
        return;
    }
    std::rotate(cells_.begin(), cells_.begin() + columns_, cells_.end());
    erase(0, columns_, rows_ - 1);
    ++scrolls_;
}

void TerminalEmulator::print(char32_t ch) {
    if (wrapPending_) {
        x_ = 0;
        lineFeed();
        wrapPending_ = false;
    }
    cells_[static_cast<std::size_t>(y_ * columns_ + x_)] = TermCell{ch, foreground_, background_};
    if (x_ + 1 < columns_) {
        ++x_;
    } else {
        wrapPending_ = true;
    }
}

namespace {
std::vector<int> numbers(std::string_view params) {
    std::vector<int> result;
    int value = -1;
    for (const char c : params) {
        if (c >= '0' && c <= '9') {
            value = (value < 0 ? 0 : value) * 10 + (c - '0');
        } else if (c == ';') {
            result.push_back(value);
            value = -1;
        }
    }
    result.push_back(value);
    return result;
}
} // namespace

void TerminalEmulator::csi(std::string_view params, char final) {
    if (!params.empty() && params[0] == '?') {
        if (params == "?25" && (final == 'h' || final == 'l')) {
            cursorVisible_ = final == 'h';
            return;
        }
        if (params == "?2026" && (final == 'h' || final == 'l')) {
            return; // a synchronized update: the screen is the same either way
        }
        unknown_.push_back("CSI " + std::string(params) + final);
        return;
    }
    const std::vector<int> n = numbers(params);
    const int first = n[0] < 1 ? 1 : n[0];
    switch (final) {
    case 'H': {
        const int row = n[0] < 1 ? 1 : n[0];
        const int column = n.size() < 2 || n[1] < 1 ? 1 : n[1];
        y_ = std::min(row, rows_) - 1;
        x_ = std::min(column, columns_) - 1;
        break;
    }
    case 'A':
        y_ = std::max(0, y_ - first);
        break;
    case 'B':
        y_ = std::min(rows_ - 1, y_ + first);
        break;
    case 'C':
        x_ = std::min(columns_ - 1, x_ + first);
        break;
    case 'D':
        x_ = std::max(0, x_ - first);
        break;
    case 'G':
        x_ = std::min(first, columns_) - 1;
        break;
    case 'X':
        erase(x_, x_ + first, y_);
        break;
    case 'K':
        if (n[0] <= 0) {
            erase(x_, columns_, y_);
        } else {
            unknown_.push_back("CSI " + std::string(params) + final);
        }
        break;
    case 'J':
        if (n[0] == 2) {
            for (int y = 0; y < rows_; ++y) {
                erase(0, columns_, y);
            }
        } else {
            unknown_.push_back("CSI " + std::string(params) + final);
        }
        break;
    case 'm':
        for (const int code : n) {
            if (code <= 0) {
                foreground_ = 39;
                background_ = 49;
            } else if ((code >= 30 && code <= 37) || (code >= 90 && code <= 97) || code == 39) {
                foreground_ = code;
            } else if ((code >= 40 && code <= 47) || (code >= 100 && code <= 107) || code == 49) {
                background_ = code;
            } else {
                unknown_.push_back("SGR " + std::to_string(code));
            }
        }
        break;
    default:
        unknown_.push_back("CSI " + std::string(params) + final);
        return;
    }
    wrapPending_ = false;
}

void TerminalEmulator::feed(std::string_view bytes) {
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        switch (state_) {
        case State::Escape:
            if (b == '[') {
                state_ = State::Csi;
                sequence_.clear();
            } else {
                unknown_.push_back(std::string("ESC ") + c);
                state_ = State::Ground;
            }
            continue;
        case State::Csi:
            if (b >= 0x40 && b <= 0x7E) {
                csi(sequence_, static_cast<char>(b));
                state_ = State::Ground;
            } else {
                sequence_.push_back(c);
            }
            continue;
        case State::Ground:
            break;
        }
        if (utf8Left_ > 0) {
            if ((b & 0xC0) != 0x80) {
                unknown_.push_back("broken UTF-8");
                utf8Left_ = 0;
            } else {
                utf8Code_ = (utf8Code_ << 6) | (b & 0x3F);
                if (--utf8Left_ == 0) {
                    print(utf8Code_);
                }
                continue;
            }
        }
        if (b == 0x1B) {
            state_ = State::Escape;
        } else if (b == '\r') {
            x_ = 0;
            wrapPending_ = false;
        } else if (b == '\n') {
            lineFeed();
            wrapPending_ = false;
        } else if (b == '\b') {
            x_ = std::max(0, x_ - 1);
            wrapPending_ = false;
        } else if (b < 0x20 || b == 0x7F) {
            std::ostringstream what;
            what << "control byte " << static_cast<int>(b);
            unknown_.push_back(what.str());
        } else if (b < 0x80) {
            print(b);
        } else if ((b & 0xE0) == 0xC0) {
            utf8Code_ = b & 0x1F;
            utf8Left_ = 1;
        } else if ((b & 0xF0) == 0xE0) {
            utf8Code_ = b & 0x0F;
            utf8Left_ = 2;
        } else {
            unknown_.push_back("bad UTF-8 lead");
        }
    }
}

} // namespace posixtest
