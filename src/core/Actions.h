// The game's actions, one row each: the key slot that holds its key, how config.ini binds it, its
// words in the help box, whether a player can do without it, what a press of its key does, its
// touch control on the page and its words in speech. The key table, the bindings, the help box,
// --help, "tharvok-world check" and the page's touch controls all read this table; an action is
// one row here plus the code that does it.
#pragma once

#include "platform/VirtualKeys.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// The key slots, in the order of the rows below. Recordings, golden screens and the key table
// depend on these numbers: a new action takes the next one.
enum class KeySlot : int {
    Escape = 0,
    MoveUp = 1,
    MoveDown = 2,
    MoveLeft = 3,
    MoveRight = 4,
    Use = 5,
    Select = 6,
    Rest = 7,
    Save = 8,
    Load = 9,
    ToggleInventory = 10,
    ToggleRightOverlay = 11,
    Help = 12,
    Describe = 13,
    HelpF1 = 14,
    Travel = 15,
    Repeat = 16,
};

// One more than the last slot: the number of rows below.
inline constexpr int keySlotCount = 17;

// How an action gets its key.
enum class BindingForm {
    Character, // config.ini names it with a character ("w", "&"): small letters bind their capital
    Number,    // config.ini names it with a virtual-key code ("13")
    Fixed,     // always its fallback key
    Spare,     // its fallback key, unless config.ini gives that key to a named action
};

// Where the page puts an action's touch control.
enum class TouchPad {
    None,  // no touch control
    Cross, // the directions: the control shows `face`
    Keys,  // the other keys: the control shows the key's name, `word` under it
};

struct TouchControl {
    TouchPad pad;
    // The control's name on the page ("up", "use").
    std::string_view name;
    // What a control on the cross shows (an arrow).
    std::string_view face;
    // What a control among the keys says under its key ("use", "hold: panel").
    std::string_view word;
};

struct Action {
    KeySlot slot;
    // Its name in config.ini; empty for the actions config.ini does not bind.
    std::string_view name;
    BindingForm form;
    // The key it has when config.ini does not name it (0: none).
    std::int32_t fallback;
    // Its words in the help box and --help, on line `helpLine` (1 the first) with the keys of
    // `helpKeys` in that order; an action without words shares another's line.
    std::string_view help;
    int helpLine;
    std::array<KeySlot, 2> helpKeys;
    // What the player cannot do when it has no key ("walk up"); empty when the game does without.
    std::string_view needed;
    // What a press of its key does ("opens the help box"); empty when a press does nothing yet.
    std::string_view pressDoes;
    TouchControl touch;
    // What a sentence says its key does, after the key's name ("follows it"); empty when nothing
    // said names its key.
    std::string_view said;
};

// clang-format off
inline constexpr std::array<Action, keySlotCount> actions = {{
    {KeySlot::Escape, "", BindingForm::Fixed, platform::vk::escape,
     "back, quit", 8, {KeySlot::Escape, KeySlot::Escape},
     "", "leaves play or quits", {TouchPad::Keys, "escape", "", "back"}, ""},
    {KeySlot::MoveUp, "cMoveUp", BindingForm::Character, 0,
     "move up", 1, {KeySlot::MoveUp, KeySlot::MoveUp},
     "walk up", "moves up on a tap", {TouchPad::Cross, "up", "\u25b2", ""}, ""},
    {KeySlot::MoveDown, "cMoveDown", BindingForm::Character, 0,
     "move down", 2, {KeySlot::MoveDown, KeySlot::MoveDown},
     "walk down", "moves down on a tap", {TouchPad::Cross, "down", "\u25bc", ""}, ""},
    {KeySlot::MoveLeft, "cMoveLeft", BindingForm::Character, 0,
     "move left", 3, {KeySlot::MoveLeft, KeySlot::MoveLeft},
     "walk left", "moves left on a tap", {TouchPad::Cross, "left", "\u25c0", ""}, ""},
    {KeySlot::MoveRight, "cMoveRight", BindingForm::Character, 0,
     "move right", 4, {KeySlot::MoveRight, KeySlot::MoveRight},
     "walk right", "moves right on a tap", {TouchPad::Cross, "right", "\u25b6", ""}, ""},
    {KeySlot::Use, "cUse", BindingForm::Character, 0,
     "follow a path", 5, {KeySlot::Use, KeySlot::Use},
     "follow a link", "follows a link or chooses in the menu",
     {TouchPad::Keys, "use", "", "use"}, "follows it"},
    {KeySlot::Select, "cSelect", BindingForm::Number, 0,
     "choose in the menu", 6, {KeySlot::Use, KeySlot::Select},
     "choose in the menu", "chooses in the menu", {TouchPad::Keys, "select", "", "choose"}, ""},
    {KeySlot::Rest, "cRest", BindingForm::Character, 0,
     "rest (not yet)", 13, {KeySlot::Rest, KeySlot::Rest},
     "", "", {TouchPad::None, "", "", ""}, ""},
    {KeySlot::Save, "cSave", BindingForm::Character, 0,
     "save (not yet)", 14, {KeySlot::Save, KeySlot::Save},
     "", "", {TouchPad::None, "", "", ""}, ""},
    {KeySlot::Load, "cLoad", BindingForm::Character, 0,
     "load (not yet)", 15, {KeySlot::Load, KeySlot::Load},
     "", "", {TouchPad::None, "", "", ""}, ""},
    {KeySlot::ToggleInventory, "cToggleInventory", BindingForm::Character, 0,
     "inventory (not yet)", 16, {KeySlot::ToggleInventory, KeySlot::ToggleInventory},
     "", "", {TouchPad::None, "", "", ""}, ""},
    {KeySlot::ToggleRightOverlay, "cToggleRightOverlay", BindingForm::Number, 0,
     "status panel (hold)", 7, {KeySlot::ToggleRightOverlay, KeySlot::ToggleRightOverlay},
     "show the panel", "shows the panel", {TouchPad::Keys, "panel", "", "hold: panel"}, ""},
    {KeySlot::Help, "cHelp", BindingForm::Number, 0,
     "help", 9, {KeySlot::Help, KeySlot::HelpF1},
     "", "opens the help box", {TouchPad::Keys, "help", "", "help"}, ""},
    {KeySlot::Describe, "cDescribe", BindingForm::Character, 0,
     "describe (speech)", 10, {KeySlot::Describe, KeySlot::Describe},
     "", "describes the surroundings", {TouchPad::Keys, "describe", "", "describe"}, ""},
    {KeySlot::HelpF1, "", BindingForm::Spare, platform::vk::f1,
     "", 0, {KeySlot::Help, KeySlot::HelpF1},
     "", "", {TouchPad::None, "", "", ""}, ""},
    {KeySlot::Travel, "cTravel", BindingForm::Character, 0,
     "travel to a path", 11, {KeySlot::Travel, KeySlot::Travel},
     "", "travels to the next path", {TouchPad::Keys, "travel", "", "travel"}, ""},
    {KeySlot::Repeat, "cRepeat", BindingForm::Character, 0,
     "say again (speech)", 12, {KeySlot::Repeat, KeySlot::Repeat},
     "", "says the last sentences again",
     {TouchPad::Keys, "repeat", "", "say again"}, ""},
}};
// clang-format on

// The row of a slot.
constexpr const Action& action(KeySlot slot) { return actions[static_cast<std::size_t>(slot)]; }

namespace actions_detail {

constexpr int helpLineCount() {
    int count = 0;
    for (const Action& row : actions) {
        count += row.help.empty() ? 0 : 1;
    }
    return count;
}

// The slots of the rows with words, by their help lines.
constexpr std::array<KeySlot, helpLineCount()> helpOrder() {
    std::array<KeySlot, helpLineCount()> order{};
    for (const Action& row : actions) {
        if (!row.help.empty() && row.helpLine >= 1 && row.helpLine <= helpLineCount()) {
            order[static_cast<std::size_t>(row.helpLine - 1)] = row.slot;
        }
    }
    return order;
}

// Each row stands at its slot's index, names its own slot among the keys of its help line, has
// a name in config.ini exactly when config.ini binds it, and has its words on a line of its own,
// the lines numbered from 1 without a gap.
constexpr bool rowsInOrder() {
    for (std::size_t i = 0; i < actions.size(); ++i) {
        const Action& row = actions[i];
        if (static_cast<std::size_t>(row.slot) != i ||
            (row.helpKeys[0] != row.slot && row.helpKeys[1] != row.slot)) {
            return false;
        }
        const bool named = row.form == BindingForm::Character || row.form == BindingForm::Number;
        if (named == row.name.empty()) {
            return false;
        }
    }
    const auto order = helpOrder();
    for (std::size_t line = 0; line < order.size(); ++line) {
        const Action& row = actions[static_cast<std::size_t>(order[line])];
        if (row.help.empty() || row.helpLine != static_cast<int>(line) + 1) {
            return false;
        }
    }
    return true;
}

} // namespace actions_detail

static_assert(actions_detail::rowsInOrder(),
              "each action's row stands at its slot, and each help line has one row");

// The slots whose words make the lines of the help box, in its order.
inline constexpr auto helpOrder = actions_detail::helpOrder();
