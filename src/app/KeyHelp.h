// What each of the game's actions is called and which keys do it now, as the help box and
// --help show them.
#pragma once

#include "core/Controls.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

struct Action {
    std::string_view name;
    // The key slots that do it (KeySlot::Escape repeated where only one does).
    std::array<KeySlot, 2> slots;
};

inline constexpr std::array<Action, 14> actions = {{
    {"move up", {KeySlot::MoveUp, KeySlot::MoveUp}},
    {"move down", {KeySlot::MoveDown, KeySlot::MoveDown}},
    {"move left", {KeySlot::MoveLeft, KeySlot::MoveLeft}},
    {"move right", {KeySlot::MoveRight, KeySlot::MoveRight}},
    {"follow a path", {KeySlot::Use, KeySlot::Use}},
    {"choose in the menu", {KeySlot::Use, KeySlot::Select}},
    {"status panel (hold)", {KeySlot::ToggleRightOverlay, KeySlot::ToggleRightOverlay}},
    {"back, quit", {KeySlot::Escape, KeySlot::Escape}},
    {"help", {KeySlot::Help, KeySlot::HelpF1}},
    {"describe (speech)", {KeySlot::Describe, KeySlot::Describe}},
    {"rest (not yet)", {KeySlot::Rest, KeySlot::Rest}},
    {"save (not yet)", {KeySlot::Save, KeySlot::Save}},
    {"load (not yet)", {KeySlot::Load, KeySlot::Load}},
    {"inventory (not yet)", {KeySlot::ToggleInventory, KeySlot::ToggleInventory}},
}};

class World;

// The keys of an action as `keys` binds them: "E, Enter", or "not bound".
std::string actionKeys(const Action& action, const KeyCodes& keys);

// The lines of the help box: each action with its keys, then in play (`world` not null) the
// world's name and the player's cell.
std::vector<std::string> helpLines(const KeyCodes& keys, const World* world);
