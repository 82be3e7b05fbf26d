// Windows virtual-key codes, the one numbering of keys that every back end, the key bindings and
// the replay scripts share, and the names by which scripts and tools write them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform::vk {

inline constexpr std::uint8_t leftButton = 1;
inline constexpr std::uint8_t rightButton = 2;
inline constexpr std::uint8_t middleButton = 4;
inline constexpr std::uint8_t extraButton1 = 5;
inline constexpr std::uint8_t extraButton2 = 6;
inline constexpr std::uint8_t back = 8;
inline constexpr std::uint8_t tab = 9;
inline constexpr std::uint8_t clear = 12;
inline constexpr std::uint8_t enter = 13;
inline constexpr std::uint8_t shift = 16;
inline constexpr std::uint8_t control = 17;
inline constexpr std::uint8_t menu = 18;
inline constexpr std::uint8_t capital = 20;
inline constexpr std::uint8_t escape = 27;
inline constexpr std::uint8_t space = 32;
inline constexpr std::uint8_t prior = 33;
inline constexpr std::uint8_t next = 34;
inline constexpr std::uint8_t end = 35;
inline constexpr std::uint8_t home = 36;
inline constexpr std::uint8_t left = 37;
inline constexpr std::uint8_t up = 38;
inline constexpr std::uint8_t right = 39;
inline constexpr std::uint8_t down = 40;
inline constexpr std::uint8_t insert = 45;
inline constexpr std::uint8_t del = 46;
inline constexpr std::uint8_t numpad0 = 96;
inline constexpr std::uint8_t multiply = 106;
inline constexpr std::uint8_t add = 107;
inline constexpr std::uint8_t subtract = 109;
inline constexpr std::uint8_t decimal = 110;
inline constexpr std::uint8_t divide = 111;
inline constexpr std::uint8_t f1 = 112;
inline constexpr std::uint8_t f12 = 123;
inline constexpr std::uint8_t f13 = 124;
inline constexpr std::uint8_t oemPlus = 187;

// The code a name stands for, or -1: a single letter (either case) or digit is that key; ESC,
// ENTER, TAB, SPACE, BACK, LEFT, UP, RIGHT, DOWN, LBUTTON; F1 to F12; VK and a decimal code from
// 1 to 255 (VK112).
int fromName(std::string_view name);

// The name of a code (1 to 255) in the same words: "A", "7", "UP", "F1", else "VK188".
std::string name(int code);

// How a player knows the key of a code on a US keyboard: "E", "7", "Up arrow", "Enter", "F1",
// "Tab", "left mouse button", ";"; "key code 255" for a code no key is known by.
std::string displayName(int code);

// The code of a key named as a player writes it, in any letter case, with or without blanks and
// '_': a name of displayName ("Enter", "page up"), an arrow by its direction alone ("Up"), a
// name of fromName ("ESC", "F5"), or "Esc", "Return", "Del", "Ins", "Control", "PgUp", "PgDn",
// "Spacebar"; -1 for any other text.
int fromPlayerName(std::string_view text);

} // namespace platform::vk
