// The part of the 80 x 25 screen that a terminal smaller than it shows, and where it stands. The
// view keeps in sight what the screen itself shows as the place to look: the player's glyph (a
// white ☻) with a margin where the view allows, and the framed boxes open over the map (a
// message, the panel, the help) where they fit beside the player; with no player on the screen
// (the title, a message on its own), a box, or else the lowest part of what is drawn, where menus
// and prompts stand. It moves only when what it must keep leaves it, and then centres on it, so
// that a walk moves it seldom. The view reads the screen and nothing else: the game, the
// recordings and the other back ends know nothing of it.
#pragma once

#include "Platform.h"
#include "ScreenModel.h"

#include <array>

namespace platform::ansi {

// A rectangle of screen cells.
struct Area {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Area&, const Area&) = default;
};

class View {
public:
    // How far from the view's edge the player is kept, where the view is large enough (a quarter
    // of the view at most).
    static constexpr int marginColumns = 10;
    static constexpr int marginRows = 4;

    // A view of `width` x `height` cells (clamped to the screen's size), at the top-left.
    void resize(int width, int height);

    // Where the view stands on the screen and its size.
    const Area& area() const { return area_; }
    bool wholeScreen() const { return area_.width == screenWidth && area_.height == screenHeight; }

    // Moves the view, if it must, to keep in sight what `cells` show as the place to look. True
    // when it moved.
    bool follow(const std::array<Cell, screenCellCount>& cells);

private:
    Area area_{0, 0, screenWidth, screenHeight};
};

} // namespace platform::ansi
