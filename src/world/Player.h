// The player: a whole cell for the map and the screen, and a continuous position that lets a held
// key move smoothly while a tap moves exactly one cell.
#pragma once

#include <cstdint>

class Controls;

class Player {
public:
    Player(std::uint8_t startX, std::uint8_t startY);

    // Moves by the four movement keys; sets the cell, the previous cell and `moved`. The map is
    // not consulted: the world tick accepts or refuses the new cell.
    void update(Controls& controls, double dt);
    // Puts the player on a whole cell, as the previous cell too.
    void placeAt(std::uint8_t cellX, std::uint8_t cellY);

    std::uint8_t x;
    std::uint8_t y;
    std::uint8_t prevX;
    std::uint8_t prevY;
    std::uint8_t moved = 1;
    double posX;
    double posY;
    double speedY = 6.0;
    double speedX = 8.0;
};
