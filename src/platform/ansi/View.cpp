#include "ansi/View.h"

#include <algorithm>
#include <optional>

namespace platform::ansi {

namespace {

using Cells = std::array<Cell, screenCellCount>;

constexpr std::uint8_t playerGlyph = 2;
constexpr std::uint16_t playerAttribute = 15;

std::uint8_t at(const Cells& cells, int x, int y) {
    return cells[static_cast<std::size_t>(y * screenWidth + x)].ch;
}

bool topLeftCorner(std::uint8_t ch) { return ch == 0xDA || ch == 0xC9; }
bool topRightCorner(std::uint8_t ch) { return ch == 0xBF || ch == 0xBB; }
bool bottomLeftCorner(std::uint8_t ch) { return ch == 0xC0 || ch == 0xC8; }
// A frame's top line: horizontal lines and the tees that hang from them.
bool topLine(std::uint8_t ch) {
    return ch == 0xC4 || ch == 0xCD || ch == 0xC2 || ch == 0xCB || ch == 0xD1 || ch == 0xD2;
}
// A frame's left line: vertical lines and the tees that point into the box.
bool leftLine(std::uint8_t ch) {
    return ch == 0xB3 || ch == 0xBA || ch == 0xC3 || ch == 0xCC || ch == 0xC6 || ch == 0xC7;
}

// The frame whose top-left corner is at (x, y), if one is drawn there whole enough to tell: its
// top line reaches a top-right corner and its left line a bottom-left one.
std::optional<Area> frameAt(const Cells& cells, int x, int y) {
    int right = x + 1;
    while (right < screenWidth && topLine(at(cells, right, y))) {
        ++right;
    }
    if (right == screenWidth || !topRightCorner(at(cells, right, y))) {
        return std::nullopt;
    }
    int bottom = y + 1;
    while (bottom < screenHeight && leftLine(at(cells, x, bottom))) {
        ++bottom;
    }
    if (bottom == screenHeight || !bottomLeftCorner(at(cells, x, bottom))) {
        return std::nullopt;
    }
    return Area{x, y, right - x + 1, bottom - y + 1};
}

Area unite(const Area& a, const Area& b) {
    const int x = std::min(a.x, b.x);
    const int y = std::min(a.y, b.y);
    return Area{x, y, std::max(a.x + a.width, b.x + b.width) - x,
                std::max(a.y + a.height, b.y + b.height) - y};
}

// Along one axis: [from, to) grown by up to `margin` on each side, as far as it still fits in
// `size` and on the screen of `screen` cells.
void widen(int& from, int& to, int margin, int size, int screen) {
    const int room = std::max(0, (size - (to - from)) / 2);
    margin = std::min(margin, room);
    from = std::max(0, from - margin);
    to = std::min(screen, to + margin);
}

// Along one axis: the view's start that keeps [from, to) in a view of `size` at `start`, the
// same start when it already does; otherwise the range centred (its start, or its end when
// `keepEnd`, where it is larger than the view).
int place(int start, int size, int screen, int from, int to, bool keepEnd) {
    if (to - from > size) {
        if (keepEnd) {
            from = to - size;
        } else {
            to = from + size;
        }
    }
    if (from >= start && to <= start + size) {
        return start;
    }
    const int centred = (from + to - size) / 2;
    return std::clamp(centred, 0, screen - size);
}

} // namespace

void View::resize(int width, int height) {
    area_.width = std::clamp(width, 1, screenWidth);
    area_.height = std::clamp(height, 1, screenHeight);
    area_.x = std::clamp(area_.x, 0, screenWidth - area_.width);
    area_.y = std::clamp(area_.y, 0, screenHeight - area_.height);
}

bool View::follow(const Cells& cells) {
    if (wholeScreen()) {
        return false;
    }
    std::optional<Area> player;
    std::array<Area, 8> frames{};
    std::size_t frameCount = 0;
    Area drawn{screenWidth, screenHeight, 0, 0};
    bool anything = false;
    for (int y = 0; y < screenHeight; ++y) {
        for (int x = 0; x < screenWidth; ++x) {
            const Cell& cell = cells[static_cast<std::size_t>(y * screenWidth + x)];
            if (!player && cell.ch == playerGlyph && cell.attribute == playerAttribute) {
                player = Area{x, y, 1, 1};
            }
            if (topLeftCorner(cell.ch) && frameCount < frames.size()) {
                if (const std::optional<Area> frame = frameAt(cells, x, y)) {
                    frames[frameCount++] = *frame;
                }
            }
            if (cell.ch != ' ' && cell.ch != 0) {
                drawn = anything ? unite(drawn, Area{x, y, 1, 1}) : Area{x, y, 1, 1};
                anything = true;
            }
        }
    }
    const auto fits = [&](const Area& a) {
        return a.width <= area_.width && a.height <= area_.height;
    };
    Area focus;
    bool keepEnd = false;
    if (player) {
        focus = *player;
        for (std::size_t i = 0; i < frameCount; ++i) {
            if (fits(unite(focus, frames[i]))) {
                focus = unite(focus, frames[i]);
            }
        }
        int left = focus.x;
        int right = focus.x + focus.width;
        int top = focus.y;
        int bottom = focus.y + focus.height;
        // The margin is kept around the player, inside what the boxes leave.
        int playerLeft = player->x;
        int playerRight = player->x + 1;
        int playerTop = player->y;
        int playerBottom = player->y + 1;
        // A quarter of the view at most, so that the player has room to walk before it moves.
        widen(playerLeft, playerRight, std::min(marginColumns, area_.width / 4),
              area_.width - (right - left) + 1, screenWidth);
        widen(playerTop, playerBottom, std::min(marginRows, area_.height / 4),
              area_.height - (bottom - top) + 1, screenHeight);
        focus = unite(
            focus, Area{playerLeft, playerTop, playerRight - playerLeft, playerBottom - playerTop});
        if (!fits(focus)) {
            focus = *player;
        }
    } else if (frameCount > 0) {
        focus = frames[0];
        for (std::size_t i = 1; i < frameCount; ++i) {
            if (fits(unite(focus, frames[i]))) {
                focus = unite(focus, frames[i]);
            }
        }
    } else if (anything) {
        focus = drawn;
        keepEnd = true;
    } else {
        return false;
    }
    const Area before = area_;
    area_.x = place(area_.x, area_.width, screenWidth, focus.x, focus.x + focus.width, false);
    area_.y = place(area_.y, area_.height, screenHeight, focus.y, focus.y + focus.height, keepEnd);
    return !(area_ == before);
}

} // namespace platform::ansi
