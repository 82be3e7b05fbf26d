// What the game says: the part beside the views that turns what happens into short sentences
// for players who listen rather than look (a screen reader reading a terminal's new lines, the
// page's live region, the replay runner's "said"). Each sentence is said once, when what it tells
// happens, and not again until something changes. It reads the game's state and the world's
// events and changes neither; while it is off it does nothing at all.
#pragma once

#include "core/Controls.h"
#include "core/GameState.h"
#include "world/MapTypes.h"
#include "world/PlayEvents.h"
#include "world/Routes.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class MainMenu;
struct MenuMarker;
class World;
class WorldMap;

class Speech {
public:
    // Switches speech on, with the keys named in sentences (E follows a path) and the words said
    // when the game ends.
    void switchOn(const KeyCodes& keys, std::string_view farewell);
    bool on() const { return on_; }
    // Each sentence goes to `listener` as it is said instead of waiting in the list.
    void listen(std::function<void(const std::string&)> listener) {
        listener_ = std::move(listener);
    }

    // After a frame's rules: says what the frame changed (the screen shown, the marker, the
    // world's events).
    void follow(GameState state, const MainMenu& menu, const World& world);
    // The help box opened, showing `lines`.
    void sayLines(std::span<const std::string> lines);
    // Where the player stands: the world, the cell, the ground underfoot and every path that
    // travel can reach, nearest first, with its route in runs. Asked again in the same cell, the
    // ground in each of the eight directions.
    void describe(const World& world);
    // The sentences of the last frame that said any, said again.
    void repeat();
    // A new frame: what it says is what the repeat key says again next.
    void startFrame() { batchOpen_ = false; }

    // A notice from the game's host that the player should hear (the recording failed), said now
    // while speech is on.
    void sayNotice(std::string_view sentence) {
        if (on_) {
            say(std::string(sentence));
        }
    }

    // The sentences said since the last call, oldest first.
    std::vector<std::string> take();

private:
    void say(std::string sentence);
    void sayWhere(const World& world);
    void sayMarker(MenuMarker marker);
    void followPlay(const World& world);
    void sayRefused(const WorldMap& map, const PlayEvent& event);
    void sayNewWorld(const std::string& name);
    // "Path: Caves. E follows it."
    void sayCaption(std::string_view caption);
    void sayPaths(const World& world);

    bool on_ = false;
    KeyCodes keys_{};
    std::string farewell_;
    std::function<void(const std::string&)> listener_;
    std::vector<std::string> said_;
    // What was last said about: the screen, the cell a refused step aimed at.
    bool heard_ = false;
    GameState state_ = GameState::Menu;
    bool refused_ = false;
    MapCell refusedAt_{};
    // The sentences of the last frame that said any.
    std::vector<std::string> batch_;
    bool batchOpen_ = false;
    // The worlds seen in this game, by name.
    std::vector<std::string> seen_;
    // Where the last describe was said, until the player moves.
    bool described_ = false;
    MapCell describedAt_{};
    std::vector<RouteStep> route_;
};
