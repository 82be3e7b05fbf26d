#include "virtual/VirtualConsole.h"

#include <cstring>

namespace platform {

void VirtualConsole::setUp(std::string_view title) {
    title_ = title;
    ++setUpCount_;
    ++ownCalls_;
}

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
