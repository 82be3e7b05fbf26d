#include "menu/MainMenu.h"

#include "core/Controls.h"
#include "core/GameState.h"

#include <cmath>

namespace {
constexpr double itemStep = 2.0;
constexpr int lastItemOffset = 8;
constexpr int exitRowOffset = 8;
} // namespace

int MainMenu::update(Controls& controls, double dt) {
    const std::uint8_t oldRow = cursorRow;
    GameState result = GameState::Menu;
    if (controls.pressed(KeySlot::Escape)) {
        result = GameState::Quit;
    }
    stepByKey(controls, KeySlot::MoveUp, -1.0, itemStep, speed, dt, cursorPos, cursorRow);
    stepByKey(controls, KeySlot::MoveDown, +1.0, itemStep, speed, dt, cursorPos, cursorRow);
    if (std::fabs(cursorPos - cursorRow) >= itemStep) {
        cursorRow = roundToCell(cursorPos);
    }
    const int lastRow = firstRow + lastItemOffset;
    if (cursorRow < firstRow) {
        cursorRow = static_cast<std::uint8_t>(lastRow);
        cursorPos = lastRow;
    } else if (cursorRow > lastRow) {
        cursorRow = firstRow;
        cursorPos = firstRow;
    }
    if (cursorRow != oldRow) {
        redraw = true;
    }
    if (controls.pressed(KeySlot::Use) || controls.pressed(KeySlot::Select)) {
        if (cursorRow == firstRow) {
            return static_cast<int>(GameState::Playing);
        }
        if (cursorRow == firstRow + exitRowOffset) {
            return static_cast<int>(GameState::Quit);
        }
        return static_cast<int>(GameState::Menu);
    }
    return static_cast<int>(result);
}
