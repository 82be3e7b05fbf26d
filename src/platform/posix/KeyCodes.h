// What the terminal's bytes name, as Windows virtual-key codes (US layout): the numbers and letters
// of the classic escape sequences and the keyboard protocol, and plain characters; and the
// parameters of a control sequence. Pure tables for the key decoder.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace platform::posix {

// Parameters of a control sequence: up to eight fields of up to four colon-separated numbers;
// -1 where a number is left out.
struct Params {
    static constexpr int maxFields = 8;
    static constexpr int maxSub = 4;
    std::array<std::array<int, maxSub>, maxFields> value{};
    int count = 0;

    int get(int field, int sub, int fallback) const {
        if (field >= count ||
            value[static_cast<std::size_t>(field)][static_cast<std::size_t>(sub)] < 0) {
            return fallback;
        }
        return value[static_cast<std::size_t>(field)][static_cast<std::size_t>(sub)];
    }
};

Params parseParams(std::string_view text);

// A key of the "CSI number ~" family, or 0.
std::uint8_t tildeKey(int number);
// A key of the "CSI 1 ; mods letter" and "SS3 letter" families, or 0.
std::uint8_t letterKey(char final);
// A key code of the keyboard protocol (a Unicode code point or one of its private-use codes), or 0.
std::uint8_t protocolKey(int code);
// The virtual-key code of a character on a US keyboard ("!" is the 1 key), or 0.
std::uint8_t virtualKeyForChar(char32_t ch);

} // namespace platform::posix
