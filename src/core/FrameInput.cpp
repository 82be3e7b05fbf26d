#include "core/FrameInput.h"

#include <algorithm>

bool FrameInput::isDown(int vk) const {
    const auto keys = keysDown();
    return vk > 0 && vk < 256 &&
           std::find(keys.begin(), keys.end(), static_cast<std::uint8_t>(vk)) != keys.end();
}

void FrameInput::addKey(int vk) {
    if (vk > 0 && vk < 256 && !isDown(vk) && keyCount < keys.size()) {
        keys[keyCount++] = static_cast<std::uint8_t>(vk);
    }
}

platform::InputStatus readFrameKeys(platform::Keyboard& keyboard,
                                    std::span<const std::int32_t> codes, FrameInput& input) {
    input.keyCount = 0;
    input.click.reset();
    const platform::InputStatus status = keyboard.sample();
    if (status != platform::InputStatus::Keys) {
        return status;
    }
    input.click = keyboard.clicked();
    for (const std::int32_t code : codes) {
        const auto vk = static_cast<std::uint8_t>(code);
        if (keyboard.isDown(vk)) {
            input.addKey(vk);
        }
    }
    return status;
}
