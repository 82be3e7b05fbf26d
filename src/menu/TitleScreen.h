// The title screen: the game's name as a block-letter banner between two arrow decorations, and
// the menu's five items below it with the selected one in red behind a ">" marker. The view
// remembers only whether its screen is still shown; the menu's events say when the marker moved.
#pragma once

#include "platform/Focus.h"

class Console;
class MainMenu;

class TitleScreen {
public:
    // Draws the whole screen from blank unless it is shown and the marker did not move this frame.
    void draw(Console& console, const MainMenu& menu);
    // Something else was drawn over the screen: the next draw starts from blank.
    void forget() { shown_ = false; }

private:
    bool shown_ = false;
};

// The banner and the arrows, from the top-left cell in the attribute in force.
void drawBanner(Console& console);

// Where the title screen's text stands: the banner, the arrows and the menu below them, which
// are its lowest rows.
platform::Area titleArea();
