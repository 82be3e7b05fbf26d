// Play on the screen: draws what the world's flags and overlays ask for, and clears them.
#pragma once

class Console;
class World;

// Called once per frame while playing: the overlay drawing the frame asked for (in order), the
// whole map when a full redraw is due, and the player's step (the cell left, then the glyph).
void renderWorld(Console& console, World& world);
