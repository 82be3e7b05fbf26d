// What a view smaller than the screen must keep in sight, as the game tells it each frame: the
// player's cell in play, the boxes it draws over the map (newest first), and where there is
// neither, the lines of text that matter (the menu's rows, a farewell, a failed start's message).
// Plain values of fixed size: handing one down costs no allocation.
#pragma once

#include <array>
#include <cstddef>

namespace platform {

// A rectangle of screen cells.
struct Area {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
    friend bool operator==(const Area&, const Area&) = default;
};

struct Focus {
    static constexpr std::size_t maxBoxes = 8;

    // The player's cell, where the player shows.
    bool hasPlayer = false;
    int playerX = 0;
    int playerY = 0;
    // The boxes on the screen, newest first; more than maxBoxes are not kept.
    std::array<Area, maxBoxes> boxes{};
    std::size_t boxCount = 0;
    // The lines of text to keep where there is no player and no box (empty when none); their
    // lowest part where they do not fit, as menus and prompts stand there.
    Area lines{};

    void addBox(const Area& box) {
        if (boxCount < maxBoxes && !box.empty()) {
            boxes[boxCount++] = box;
        }
    }
    friend bool operator==(const Focus&, const Focus&) = default;
};

} // namespace platform
