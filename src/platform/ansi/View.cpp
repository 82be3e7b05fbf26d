#include "ansi/View.h"

#include <algorithm>
#include <optional>

namespace platform::ansi {

namespace {

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

bool View::follow(const Focus& wanted) {
    if (wholeScreen()) {
        return false;
    }
    std::optional<Area> player;
    if (wanted.hasPlayer) {
        player = Area{wanted.playerX, wanted.playerY, 1, 1};
    }
    const auto& boxes = wanted.boxes;
    const std::size_t boxCount = std::min(wanted.boxCount, boxes.size());
    const auto fits = [&](const Area& a) {
        return a.width <= area_.width && a.height <= area_.height;
    };
    Area focus;
    bool keepEnd = false;
    if (player) {
        focus = *player;
        for (std::size_t i = 0; i < boxCount; ++i) {
            if (fits(unite(focus, boxes[i]))) {
                focus = unite(focus, boxes[i]);
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
    } else if (boxCount > 0) {
        focus = boxes[0];
        for (std::size_t i = 1; i < boxCount; ++i) {
            if (fits(unite(focus, boxes[i]))) {
                focus = unite(focus, boxes[i]);
            }
        }
    } else if (!wanted.lines.empty()) {
        focus = wanted.lines;
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
