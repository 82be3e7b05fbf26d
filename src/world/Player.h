// The player: a whole cell for the map and the screen, and a continuous position that lets a held
// key move smoothly while a tap moves exactly one cell.
#pragma once

#include "world/MapTypes.h"
#include "world/Routes.h"

#include <cstdint>

class Controls;

class Player {
public:
    explicit Player(MapCell start);

    // Moves by the four movement keys, and by `tap` as a tap of its keys would (travel's step);
    // true when the whole cell changed (the cell it stood on is then the previous cell). The map
    // is not consulted: the world tick accepts or refuses it.
    bool update(Controls& controls, double dt, RouteStep tap = {});
    // The last update had a tap: a movement key newly down, or travel's step.
    bool tapped() const { return tapped_; }
    // The step just taken is refused: back onto the previous cell, position and all.
    void refuse();
    // Puts the player on a whole cell, as the previous cell too.
    void placeAt(MapCell cell);

    MapCell cell() const { return MapCell{x_, y_}; }
    // Where the player stood before the last update.
    MapCell previousCell() const { return MapCell{prevX_, prevY_}; }

private:
    static constexpr double speedX = 8.0; // cells a second, a key held
    static constexpr double speedY = 6.0;

    std::uint8_t x_;
    std::uint8_t y_;
    std::uint8_t prevX_;
    std::uint8_t prevY_;
    double posX_;
    double posY_;
    bool tapped_ = false;
};
