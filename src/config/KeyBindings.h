// How config.ini values become the virtual-key codes of the key slots.
#pragma once

#include "core/Controls.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>

class ConfigFile;

// The form in which a binding's value is read: a character ("w", "&") or a number ("13").
enum class BindingForm { Character, Number };

struct KeyBinding {
    const char* name;
    BindingForm form;
};

// Slots 1 to 13 in slot order, the ones config.ini names; slot 0 is always Escape.
inline constexpr std::size_t namedSlotCount = 13;
extern const std::array<KeyBinding, namedSlotCount> keyBindings;

// The key codes of the slots as `config` binds them: Escape in slot 0, 0 for every name the
// configuration lacks, and F1 in the last slot unless a name binds F1 (then F1 does what that
// name says, and only that).
KeyCodes bindKeys(const ConfigFile& config);
// The key codes of the slots as the configuration file `file` binds them (a file that cannot be
// read binds what an empty one does).
KeyCodes readKeyBindings(const std::filesystem::path& file);

// The key code a character-form value binds: small letters bind their capital's key, every other
// byte its own code (so "&" is the Up arrow key, code 38).
std::int32_t keyCodeFromCharacter(char value);
// The key code a number-form value binds: the number when it is a key code (0 to 255), else 0.
std::int32_t keyCodeFromNumber(std::int32_t value);
