// How config.ini values become the virtual-key codes of the key slots, and the pointing setting.
#pragma once

#include "core/Controls.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

class ConfigFile;

// The key codes of the slots as `config` binds them, by the table of actions: each named action
// its value in its form, 0 when the configuration lacks it; a fixed action (Escape) its own key;
// a spare action (F1's help) its key unless a name binds that key (then the key does what that
// name says, and only that).
KeyCodes bindKeys(const ConfigFile& config);
// The key codes of the slots as the configuration file `file` binds them (a file that cannot be
// read binds what an empty one does).
KeyCodes readKeyBindings(const std::filesystem::path& file);

// The name of the pointing setting: clicks of the left mouse button walk the player to the
// clicked cell and choose menu items. A setting, not a key: it takes no slot.
inline constexpr std::string_view pointingName = "pointing";
// True when `config` turns pointing on ("on", in any letter case, whitespace around it aside);
// "off", any other value and no line at all leave it off.
bool pointingOn(const ConfigFile& config);
// The values the pointing setting knows: "on" and "off", as pointingOn reads them.
bool isPointingValue(std::string_view value);

// The key code a character-form value binds: small letters bind their capital's key, every other
// byte its own code (so "&" is the Up arrow key, code 38).
std::int32_t keyCodeFromCharacter(char value);
// The key code a number-form value binds: the number when it is a key code (0 to 255), else 0.
std::int32_t keyCodeFromNumber(std::int32_t value);
