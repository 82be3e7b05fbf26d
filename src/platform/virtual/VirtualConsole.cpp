#include "virtual/VirtualConsole.h"

#include <cstring>

namespace platform {

void VirtualConsole::setUp(std::string_view title) {
    title_ = title;
    ++setUpCount_;
    ++callCount_;
}

void VirtualConsole::setCursorPosition(int x, int y) {
    model_.setCursorPosition(x, y);
    ++callCount_;
}

void VirtualConsole::setCursorVisible(bool visible) {
    model_.setCursorVisible(visible);
    ++callCount_;
}

void VirtualConsole::setAttribute(std::uint16_t attribute) {
    model_.setAttribute(attribute);
    ++callCount_;
}

void VirtualConsole::fillCharacters(int x, int y, std::uint8_t ch, int count) {
    model_.fillCharacters(x, y, ch, count);
    ++callCount_;
}

void VirtualConsole::fillAttributes(int x, int y, std::uint16_t attribute, int count) {
    model_.fillAttributes(x, y, attribute, count);
    ++callCount_;
}

void VirtualConsole::writeText(std::string_view text) {
    model_.writeText(text);
    ++callCount_;
}

void VirtualConsole::writeGlyphs(std::string_view glyphs) {
    model_.writeGlyphs(glyphs);
    ++callCount_;
}

void VirtualConsole::present() { ++presentCount_; }

InputStatus ScriptedKeyboard::sample() {
    ++sampleCount_;
    wentDown_ = 0;
    if (std::memcmp(down_, sampled_, sizeof down_) == 0) {
        return InputStatus::Keys;
    }
    for (int vk = 1; vk < 256; ++vk) {
        if (down_[vk] && !sampled_[vk] && wentDown_ == 0) {
            wentDown_ = vk;
        }
        sampled_[vk] = down_[vk];
    }
    return InputStatus::Keys;
}

bool ScriptedKeyboard::isDown(int vk) { return vk > 0 && vk < 256 && down_[vk]; }

void ScriptedKeyboard::setDown(int vk, bool down) {
    if (vk > 0 && vk < 256) {
        down_[vk] = down;
    }
}

void ScriptedKeyboard::releaseAll() {
    for (bool& d : down_) {
        d = false;
    }
}

} // namespace platform
