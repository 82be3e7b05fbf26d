#include "world/Player.h"

#include "core/Controls.h"

Player::Player(std::uint8_t startX, std::uint8_t startY)
    : x(startX), y(startY), prevX(startX), prevY(startY), posX(startX), posY(startY) {}

void Player::placeAt(std::uint8_t cellX, std::uint8_t cellY) {
    x = prevX = cellX;
    y = prevY = cellY;
    posX = cellX;
    posY = cellY;
}

void Player::update(Controls& controls, double dt) {
    prevX = x;
    prevY = y;
    stepByKey(controls, KeySlot::MoveLeft, -1.0, 1.0, speedX, dt, posX, x);
    stepByKey(controls, KeySlot::MoveRight, +1.0, 1.0, speedX, dt, posX, x);
    stepByKey(controls, KeySlot::MoveUp, -1.0, 1.0, speedY, dt, posY, y);
    stepByKey(controls, KeySlot::MoveDown, +1.0, 1.0, speedY, dt, posY, y);
    x = roundToCell(posX);
    y = roundToCell(posY);
    moved = (x != prevX || y != prevY) ? 1 : 0;
}
