// Everything that exists only in play: the status panel, the loaded map, the player and the day
// clock, created once at start-up and kept while the menu is shown.
#pragma once

#include <cstdint>

class Controls;
class DayClock;
class Player;
class StatusPanel;
class WorldMap;

inline constexpr std::uint8_t playerStartX = 40;
inline constexpr std::uint8_t playerStartY = 12;

class World {
public:
    World() = default;
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // Builds the panel, the map, the clock and the player and loads the start world; false when
    // the start world cannot be loaded.
    bool init();
    // One step of play: movement, collisions, link captions, the clock, the panel refresh.
    void tick(Controls& controls, double dt);
    // Draws what the flags ask for: the whole map, the player step.
    void render();
    // The use key: follows the link under the player.
    void use();

    StatusPanel* statusPanel = nullptr;
    WorldMap* map = nullptr;
    Player* player = nullptr;
    DayClock* clock = nullptr;
    std::uint8_t overlayShown = 0;
    std::uint8_t playerRedraw = 0;
};
