// The right-hand panel's record: the time of day and the player's cell as the panel shows them,
// its refresh countdown, its lines and its place on the screen, and the height of the message box
// for link captions. Whether it is up belongs to the overlays; drawing it belongs to its view.
#pragma once

#include "world/MapTypes.h"

#include <cstdint>
#include <string>

class DayClock;
class Player;

inline constexpr int panelWidth = 12;
inline constexpr int panelLeft = platform::screenWidth - panelWidth;
inline constexpr int messageBoxHeight = 5;
inline constexpr const char* versionTag = " Ver. 1.0";

// The time of day and the player's cell, as the panel shows them.
struct PanelReading {
    std::uint8_t hours = 0;
    std::uint8_t minutes = 0;
    std::uint8_t seconds = 0;
    std::uint8_t playerX = 0;
    std::uint8_t playerY = 0;
};

class StatusPanel {
public:
    StatusPanel();

    // Takes the time of day and the player's cell as the panel is to show them.
    void updateShown(const DayClock& clock, const Player& player);
    // What the panel shows now: the values of the last tick.
    PanelReading reading() const { return PanelReading{hours, minutes, seconds, playerX, playerY}; }
    // The screen rectangle the panel covers.
    CellRect rect() const { return CellRect{panelOrigin.x, panelOrigin.y, panelEnd.x, panelEnd.y}; }

    std::uint8_t hours = 0;
    std::uint8_t minutes = 0;
    std::uint8_t seconds = 0;
    std::uint8_t playerX = 0;
    std::uint8_t playerY = 0;
    double refreshPeriod = 1.0;
    double refreshCountdown = 1.0;
    std::uint8_t width = panelWidth;
    // A double line across the panel with a tee at each end, and a line of blanks inside it.
    std::string dividerLine;
    std::string blankLine;
    MapCell panelEnd{platform::screenWidth, platform::screenHeight};
    MapCell panelOrigin{panelLeft, 0};
    struct {
        std::uint8_t width = platform::screenWidth;
        std::uint8_t height = messageBoxHeight;
    } messageArea;
};
