// Play on the screen. The view keeps what it needs of the frames it drew: the boxes on the map
// that are still to be taken off (newest last), whether the status panel is among them, and
// whether the map is on the screen at all. Each frame it draws what the world's events ask for,
// in order: boxes shown and taken off, the panel opened and refreshed; then the whole map when it
// is not on the screen (or a new world came), then the player's step.
#pragma once

#include "world/MapTypes.h"

#include <array>
#include <cstddef>
#include <deque>
#include <optional>
#include <span>
#include <string_view>

class Console;
class World;
class WorldMap;

class WorldView {
public:
    // A frame of play.
    void draw(Console& console, const World& world);
    // A frame in which play is not shown (the title screen, the farewell): the events are followed
    // without drawing, and the whole map is drawn when play is shown again.
    void follow(const World& world);

    // A box that another part of the game draws over the map (the help box) is kept like a
    // message box; uncover() has it taken off at the next draw, and the player drawn again.
    void cover(CellRect rect);
    void uncover();

    // The rectangles still to be taken off, newest last, and whether the panel's is the newest.
    const std::deque<CellRect>& boxes() const { return boxes_; }
    bool panelUp() const { return panelUp_; }

    // What the last frame left on the screen: the boxes whose frames are whole (nothing drawn
    // since has touched them), newest last, the newest eight at most; and the player's cell
    // while the player's glyph shows.
    std::span<const CellRect> wholeBoxes() const { return {whole_.data(), wholeCount_}; }
    std::optional<MapCell> playerShown() const { return playerShown_; }

private:
    // Play was left for the menu: the panel is gone with it.
    void leftPlay();
    void push(CellRect rect);
    // Takes the newest box off, drawing the map under it again; with none left, notes that no box
    // lies on the map any more.
    void takeOff(Console& console, const WorldMap& map);
    void showMessage(Console& console, std::string_view text, MapCell player);
    // Something was drawn over `rect`: the boxes whose frames it touches are whole no more, and
    // the player's glyph is gone when it lies inside.
    void drawnOver(CellRect rect);
    void drawnOver(MapCell cell);
    // Nothing is left on the screen of what was drawn (the map drawn whole, or play not shown).
    void forgetScreen();

    std::deque<CellRect> boxes_;
    std::array<CellRect, 8> whole_{};
    std::size_t wholeCount_ = 0;
    std::optional<MapCell> playerShown_;
    // A box may still lie on the map: a step off a path takes the newest off.
    bool boxOnMap_ = false;
    bool panelUp_ = false;
    bool mapShown_ = false;
    bool uncoverDue_ = false;
    bool playerDue_ = false;
};
