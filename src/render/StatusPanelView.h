// The status panel on the screen: a double-framed box along the right edge with the time of day,
// the player's cell and the version tag.
#pragma once

class Console;
class StatusPanel;
struct PanelReading;

// Blanks the panel's rectangle, frames it and writes everything in it, showing `reading`.
void drawStatusPanelBox(Console& console, const StatusPanel& panel, const PanelReading& reading);
// Writes the panel's contents showing `reading`; with `refreshOnly` just the clock and position
// lines.
void drawStatusPanel(Console& console, const StatusPanel& panel, const PanelReading& reading,
                     bool refreshOnly);
