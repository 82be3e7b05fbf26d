// How the console's byte codes look: code page 437, with the graphic glyphs for bytes 1-31 and
// 127 and a blank for byte 0. Used wherever a screen is shown as Unicode text.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace platform {

struct Utf8Glyph {
    std::array<char, 3> bytes{};
    std::uint8_t length = 0;
    std::string_view view() const { return {bytes.data(), length}; }
};

char32_t cp437CodePoint(std::uint8_t byte);
const Utf8Glyph& cp437Utf8(std::uint8_t byte);

} // namespace platform
