// The part of the 80 x 25 screen that a terminal smaller than it shows, and where it stands. The
// view keeps in sight what the game's focus names: the player's cell with a margin where the view
// allows, and the boxes open over the map (a message, the panel, the help) where they fit beside
// the player; with no player (the title, a message on its own), the boxes, or else the lowest part
// of the focus's lines of text (the menu's rows, a farewell), where menus and prompts stand. It
// moves only when what it must keep leaves it, and then centres on it, so that a walk moves it
// seldom. The game, the recordings and the other back ends know nothing of it.
#pragma once

#include "Focus.h"
#include "Platform.h"

namespace platform::ansi {

using Area = platform::Area;

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

    // Moves the view, if it must, to keep in sight what `focus` names. True when it moved.
    bool follow(const Focus& focus);

private:
    Area area_{0, 0, screenWidth, screenHeight};
};

} // namespace platform::ansi
