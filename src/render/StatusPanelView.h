// The status panel on the screen: a double-framed box along the right edge with the time of day,
// the player's cell and the version tag.
#pragma once

#include "platform/Platform.h"
#include "world/MapTypes.h"

class Console;
struct PanelReading;

inline constexpr int panelWidth = 12;
inline constexpr int panelLeft = platform::screenWidth - panelWidth;
inline constexpr CellRect panelRect{panelLeft, 0, platform::screenWidth, platform::screenHeight};
inline constexpr const char* versionTag = " Ver. 1.0";

// Blanks the panel's rectangle, frames it and writes everything in it, showing `reading`.
void drawStatusPanelBox(Console& console, const PanelReading& reading);
// Writes the panel's contents showing `reading`; with `refreshOnly` just the clock and position
// lines.
void drawStatusPanel(Console& console, const PanelReading& reading, bool refreshOnly);
