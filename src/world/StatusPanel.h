// The right-hand panel: time of day, the player's cell and the version tag, shown while its key
// is held. It also shows link captions in a message box.
#pragma once

#include "world/MapTypes.h"

#include <cstdint>
#include <string_view>

class DayClock;
class Player;
class WorldMap;

inline constexpr int panelWidth = 12;
inline constexpr int panelLeft = mapWidth - panelWidth;
inline constexpr int messageBoxHeight = 5;
inline constexpr std::size_t maxCaptionLength = 74;
inline constexpr const char* versionTag = " Ver. 1.0";

class StatusPanel {
public:
    StatusPanel();
    ~StatusPanel();
    StatusPanel(const StatusPanel&) = delete;
    StatusPanel& operator=(const StatusPanel&) = delete;

    // Opens the panel when it is hidden, closes it when it is shown. Called by the in-game
    // commands when the panel key goes down or up.
    void toggle(WorldMap& map);
    // Writes the panel's contents; with `refreshOnly` just the clock and position lines.
    void draw(bool refreshOnly);
    // Shows a link caption in a framed box away from the player and queues the box's rectangle
    // on the map. Captions longer than 74 characters are cut to fit the screen.
    void showMessage(std::string_view caption, MapCell playerCell, WorldMap& map);
    // Takes the time of day and the player's cell as the panel is to show them.
    void updateShown(const DayClock& clock, const Player& player);

    std::uint8_t hours = 0;
    std::uint8_t minutes = 0;
    std::uint8_t seconds = 0;
    std::uint8_t playerX = 0;
    std::uint8_t playerY = 0;
    double refreshPeriod = 1.0;
    double refreshCountdown = 1.0;
    char* dividerLine = nullptr;
    char* blankLine = nullptr;
    std::uint8_t shown = 0;
    std::uint8_t width = panelWidth;
    MapCell panelEnd{mapWidth, mapHeight};
    MapCell panelOrigin{panelLeft, 0};
    struct {
        std::uint8_t width = mapWidth;
        std::uint8_t height = messageBoxHeight;
    } messageArea;
};
