#include "ModelConsole.h"

namespace platform {

void ModelConsole::setCursorPosition(int x, int y) {
    model_.setCursorPosition(x, y);
    ++changes_;
}

void ModelConsole::setCursorVisible(bool visible) {
    model_.setCursorVisible(visible);
    ++changes_;
}

void ModelConsole::fillCharacters(int x, int y, std::uint8_t ch, int count) {
    model_.fillCharacters(x, y, ch, count);
    ++changes_;
}

void ModelConsole::fillAttributes(int x, int y, std::uint16_t attribute, int count) {
    model_.fillAttributes(x, y, attribute, count);
    ++changes_;
}

void ModelConsole::writeText(std::string_view text) {
    model_.writeText(text);
    ++changes_;
}

void ModelConsole::writeGlyphs(std::string_view glyphs) {
    model_.writeGlyphs(glyphs);
    ++changes_;
}

} // namespace platform
