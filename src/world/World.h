// Everything that exists only in play: the status panel, the loaded map, the player, the day clock
// and the overlays on the map, created once at start-up and kept while the menu is shown.
#pragma once

#include "platform/Platform.h"
#include "world/Overlays.h"
#include "world/WorldFiles.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

class Controls;
class DayClock;
class Player;
class StatusPanel;
class WorldMap;

inline constexpr std::uint8_t playerStartX = 40;
inline constexpr std::uint8_t playerStartY = 12;

// The words of the message shown when a world file cannot be read, after its path.
inline constexpr std::string_view missingFileMessage = " missing or corrupt!";

class World {
public:
    World();
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // Builds the panel, the map, the clock and the player and loads the start world from
    // `dataFolder` (which later link jumps read too); the day clock starts at `localTime`. False,
    // with the path of the file that could not be read, when the start world cannot be loaded.
    // An `observer` is told of every world file read, now and by later link jumps.
    bool init(const std::filesystem::path& dataFolder, platform::LocalTime localTime,
              std::string& failedPath, WorldFileObserver* observer = nullptr);
    // One step of play: movement, collisions, link captions, the clock, the panel refresh.
    void tick(Controls& controls, double dt);
    // The use key: follows the link under the player. When the target world cannot be read the
    // player stays and a message box says which file is missing.
    void use();
    // The panel key went down (open) or up (close). A press or release that would not change
    // the panel (one made while the menu was up) changes nothing.
    void setPanel(bool open);
    // Play is left for the menu: the panel closes without drawing (the title screen covers the
    // map) and the whole map and the player are drawn again when play resumes.
    void leavePlay();

    // A box drawn over the map by the game (the help box) goes on the overlays, and comes off
    // again with the map under it (and the player) drawn anew.
    void coverMap(CellRect rect);
    void uncoverMap();

    // The right-hand panel is up: the player is frozen and links cannot be followed.
    bool overlayShown() const { return overlays.panelShown(); }

    std::unique_ptr<StatusPanel> statusPanel;
    std::unique_ptr<WorldMap> map;
    std::unique_ptr<Player> player;
    std::unique_ptr<DayClock> clock;
    Overlays overlays;
    std::uint8_t playerRedraw = 0;

private:
    std::filesystem::path dataFolder_;
    WorldFileObserver* files_ = nullptr;
};
