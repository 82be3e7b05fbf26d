#include "world/Player.h"

#include "core/Controls.h"

Player::Player(MapCell start)
    : x_(start.x), y_(start.y), prevX_(start.x), prevY_(start.y), posX_(start.x), posY_(start.y) {}

void Player::placeAt(MapCell cell) {
    x_ = prevX_ = cell.x;
    y_ = prevY_ = cell.y;
    posX_ = cell.x;
    posY_ = cell.y;
}

bool Player::update(Controls& controls, double dt, RouteStep tap) {
    prevX_ = x_;
    prevY_ = y_;
    tapped_ = !(tap == RouteStep{});
    for (const KeySlot slot :
         {KeySlot::MoveLeft, KeySlot::MoveRight, KeySlot::MoveUp, KeySlot::MoveDown}) {
        const int key = controls.key(slot);
        tapped_ = tapped_ || (key != 0 &&
                              controls.phase(static_cast<std::uint8_t>(key)) == KeyPhase::NewPress);
    }
    controls.stepByKey(KeySlot::MoveLeft, -1.0, 1.0, speedX, dt, posX_, x_);
    controls.stepByKey(KeySlot::MoveRight, +1.0, 1.0, speedX, dt, posX_, x_);
    controls.stepByKey(KeySlot::MoveUp, -1.0, 1.0, speedY, dt, posY_, y_);
    controls.stepByKey(KeySlot::MoveDown, +1.0, 1.0, speedY, dt, posY_, y_);
    // Travel's step is the tap step on each axis, with no key in the table.
    posX_ += tap.dx;
    posY_ += tap.dy;
    x_ = roundToCell(posX_);
    y_ = roundToCell(posY_);
    return x_ != prevX_ || y_ != prevY_;
}

void Player::refuse() {
    x_ = prevX_;
    posX_ = prevX_;
    y_ = prevY_;
    posY_ = prevY_;
}
