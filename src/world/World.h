// Everything that exists only in play: the loaded map, the player, the day clock, the status
// panel's record and whether the panel is up, created once at start-up and kept while the menu
// is shown. Its verbs are the rules of play; what they did in a frame is told in its events.
#pragma once

#include "platform/Platform.h"
#include "world/DayClock.h"
#include "world/PlayEvents.h"
#include "world/Player.h"
#include "world/StatusPanel.h"
#include "world/WorldFiles.h"
#include "world/WorldMap.h"

#include <cstdint>
#include <filesystem>
#include <string>

class Controls;

inline constexpr std::uint8_t playerStartX = 40;
inline constexpr std::uint8_t playerStartY = 12;
inline constexpr MapCell playerStart{playerStartX, playerStartY};

// The words of the message shown when a world file cannot be read, after its path.
inline constexpr std::string_view missingFileMessage = " missing or corrupt!";

class World {
public:
    // Loads the start world from `dataFolder` (which later link jumps read too); the day clock
    // starts at `localTime`. False, with the path of the file that could not be read, when the
    // start world cannot be loaded. An `observer` is told of every world file read, now and by
    // later link jumps.
    bool init(const std::filesystem::path& dataFolder, platform::LocalTime localTime,
              std::string& failedPath, WorldFileObserver* observer = nullptr);

    // A new frame: the last frame's events are forgotten.
    void startFrame() { events_.clear(); }
    // One step of play: movement, collisions, link captions, the clock, the panel refresh.
    void tick(Controls& controls, double dt);
    // The use key: follows the link under the player. When the target world cannot be read the
    // player stays and a message says which file is missing.
    void use();
    // The panel key went down (open) or up (close). A press or release that would not change
    // the panel (one made while the menu was up) changes nothing.
    void setPanel(bool open);
    // Play is left for the menu: the panel goes down with it.
    void leavePlay();
    // Puts the player on a cell as a link jump does, without an event (a test or a benchmark sets
    // a scene with it).
    void placePlayer(MapCell cell) { player_.placeAt(cell); }

    // The right-hand panel is up: the player is frozen and links cannot be followed.
    bool panelShown() const { return panelShown_; }
    const WorldMap& map() const { return map_; }
    const Player& player() const { return player_; }
    const DayClock& clock() const { return clock_; }
    const StatusPanel& panel() const { return panel_; }
    // What happened in play during this frame, in order.
    std::span<const PlayEvent> events() const { return events_.all(); }

private:
    std::filesystem::path dataFolder_;
    WorldFileObserver* files_ = nullptr;
    WorldMap map_;
    Player player_{playerStart};
    DayClock clock_{0.0};
    StatusPanel panel_;
    bool panelShown_ = false;
    PlayEvents events_;
    // The message of the last link that could not be followed.
    std::string jumpFailure_;
};
