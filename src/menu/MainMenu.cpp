#include "menu/MainMenu.h"

#include "core/Controls.h"

#include <cmath>

namespace {
constexpr double itemStep = 2.0;
constexpr int lastItemOffset = 8;
constexpr int exitRowOffset = 8;
} // namespace

GameState MainMenu::update(Controls& controls, double dt) {
    GameState result = GameState::Menu;
    if (controls.pressed(KeySlot::Escape)) {
        result = GameState::Quit;
    }
    controls.stepByKey(KeySlot::MoveUp, -1.0, itemStep, speed, dt, cursorPos_, cursorRow_);
    controls.stepByKey(KeySlot::MoveDown, +1.0, itemStep, speed, dt, cursorPos_, cursorRow_);
    if (std::fabs(cursorPos_ - cursorRow_) >= itemStep) {
        cursorRow_ = roundToCell(cursorPos_);
    }
    const int lastRow = menuFirstRow + lastItemOffset;
    if (cursorRow_ < menuFirstRow) {
        cursorRow_ = static_cast<std::uint8_t>(lastRow);
        cursorPos_ = lastRow;
    } else if (cursorRow_ > lastRow) {
        cursorRow_ = menuFirstRow;
        cursorPos_ = menuFirstRow;
    }
    if (controls.pressed(KeySlot::Use) || controls.pressed(KeySlot::Select)) {
        if (cursorRow_ == menuFirstRow) {
            return GameState::Playing;
        }
        if (cursorRow_ == menuFirstRow + exitRowOffset) {
            return GameState::Quit;
        }
        return GameState::Menu;
    }
    return result;
}
