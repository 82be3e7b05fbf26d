// Everything that exists only in play: the loaded map, the player, the day clock, the status
// panel's record and whether the panel is up, created once at start-up and kept while the menu
// is shown. Its verbs are the rules of play; what they did in a frame is told in its events.
#pragma once

#include "platform/Platform.h"
#include "world/DayClock.h"
#include "world/PlayEvents.h"
#include "world/Player.h"
#include "world/Routes.h"
#include "world/StatusPanel.h"
#include "world/Travel.h"
#include "world/WorldFiles.h"
#include "world/WorldMap.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

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
    // Play is left for the menu: the panel goes down with it, and travel stops.
    void leavePlay();

    // The travel key: sets out for the nearest path in reach that can be walked to without
    // crossing another, those not yet followed from this world first. While travelling, or
    // standing on a path, it sets out for the next path in that order instead, so that presses
    // go round the paths.
    void travelToNextPath();
    // A click on a cell in play: on the player's own path it follows it; elsewhere travel sets
    // out for the cell nearest to it that can be walked to.
    void click(MapCell cell);
    // Travel stops where the player stands (a key was pressed).
    void stopTravel();
    bool travelling() const { return travel_.active(); }
    // Seconds until travel's next step (while travelling).
    double secondsToTravelStep() const { return travel_.secondsToNextStep(); }
    // The route of fewest steps, then fewest runs, from the player to `to` that travel would
    // walk; false when there is none. Allocates nothing when `route` has room.
    bool routeTo(MapCell to, std::vector<RouteStep>& route) const;
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
    // Route searches keep their buffers; a const search only reuses them.
    mutable RouteFinder routes_;
    Travel travel_;
    // The paths in the order travel goes round them, from where the round began.
    std::vector<MapCell> round_;
    // The paths followed in this game: the world's name and the path's cell.
    std::vector<std::pair<std::string, MapCell>> followed_;

    bool followedFromHere(MapCell path) const;
    void setOut(MapCell to);
    // After the tick's step: travel's arrival, or what a refused step of its own does to it.
    void followTravel(bool refused);
};
