// How the console's byte codes look on a terminal that cannot show Unicode: each byte as the
// printable ASCII character nearest to its code page 437 glyph (box lines as + - |, the faces as
// @, letters with accents as the bare letter). Never a byte outside 0x20-0x7e.
#pragma once

#include <cstdint>

namespace platform {

char asciiGlyph(std::uint8_t byte);

} // namespace platform
