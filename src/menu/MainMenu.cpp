#include "menu/MainMenu.h"

#include "core/Controls.h"

#include <cmath>

namespace {
// The rows from one item to the next.
constexpr int itemRows = 2;
constexpr double itemStep = itemRows;
constexpr int lastItemOffset = 8;
constexpr int exitRowOffset = 8;
} // namespace

GameState MainMenu::update(Controls& controls, double dt) {
    const std::uint8_t oldRow = cursorRow_;
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
    if (cursorRow_ != oldRow) {
        events_.add({MenuEvent::Kind::MarkerMoved, marker()});
    }
    if (controls.pressed(KeySlot::Use) || controls.pressed(KeySlot::Select)) {
        return chooseMarked();
    }
    return result;
}

GameState MainMenu::chooseMarked() {
    if (item().has_value()) {
        events_.add({MenuEvent::Kind::Chosen, marker()});
    }
    if (cursorRow_ == menuFirstRow) {
        return GameState::Playing;
    }
    if (cursorRow_ == menuFirstRow + exitRowOffset) {
        return GameState::Quit;
    }
    return GameState::Menu;
}

std::optional<std::size_t> menuItemOnRow(int row) {
    const int offset = row - menuFirstRow;
    if (offset < 0 || offset > lastItemOffset || offset % itemRows != 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(offset / itemRows);
}

GameState MainMenu::choose(std::size_t item) {
    const auto row = static_cast<std::uint8_t>(menuFirstRow + item * itemRows);
    if (row != cursorRow_) {
        cursorRow_ = row;
        cursorPos_ = row;
        events_.add({MenuEvent::Kind::MarkerMoved, marker()});
    }
    return chooseMarked();
}

MenuMarker MainMenu::marker() const {
    // The row never leaves the rows from the first item to the last.
    const int offset = cursorRow_ - menuFirstRow;
    return {static_cast<std::size_t>(offset / itemRows), offset % itemRows != 0};
}

std::optional<std::size_t> MainMenu::item() const {
    const MenuMarker at = marker();
    if (at.between) {
        return std::nullopt;
    }
    return at.item;
}
