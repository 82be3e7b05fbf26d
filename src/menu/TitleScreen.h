// The title screen: the game's name as a block-letter banner between two arrow decorations, and
// the menu's five items below it with the selected one in red behind a ">" marker.
#pragma once

class Console;
class MainMenu;

// Draws the whole title screen from blank when the menu's `redraw` asks for it, and clears it.
void renderTitleScreen(Console& console, MainMenu& menu);
// The banner and the arrows, from the top-left cell in the attribute in force.
void drawBanner(Console& console);
