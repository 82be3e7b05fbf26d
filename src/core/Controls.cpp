#include "core/Controls.h"

#include "platform/VirtualKeys.h"

#include <cmath>

Controls::Controls(const KeyCodes& bindings) : keys_(bindings) {
    keys_[static_cast<int>(KeySlot::Escape)] = platform::vk::escape;
}

platform::InputStatus Controls::poll(platform::Keyboard& keyboard, bool& inputChanged) {
    FrameInput input;
    const platform::InputStatus status = readFrameKeys(keyboard, keys_, input);
    if (status == platform::InputStatus::Keys) {
        apply(input, inputChanged);
    }
    return status;
}

void Controls::apply(const FrameInput& input, bool& inputChanged) {
    for (const std::int32_t code : keys_) {
        const auto k = static_cast<std::uint8_t>(code);
        if (input.isDown(k)) {
            latched_[k] = down_[k];
            down_[k] = 1;
            inputChanged = true;
        } else {
            if (down_[k] == 1) {
                latched_[k] = 1;
                inputChanged = true;
            }
            down_[k] = 0;
        }
    }
}

bool Controls::pressed(KeySlot slot) {
    const auto k = static_cast<std::uint8_t>(key(slot));
    if (down_[k] == 1 && latched_[k] == 0) {
        latched_[k] = 1;
        return true;
    }
    return false;
}

bool Controls::released(KeySlot slot) {
    const auto k = static_cast<std::uint8_t>(key(slot));
    if (down_[k] == 0 && latched_[k] == 1) {
        latched_[k] = 0;
        return true;
    }
    return false;
}

void Controls::stepByKey(KeySlot slot, double sign, double step, double speed, double dt,
                         double& position, int cell) {
    const auto k = static_cast<std::uint8_t>(key(slot));
    std::uint8_t& latched = latched_[k];
    const bool down = down_[k] == 1;
    if (down && latched == 0) {
        latched = 1;
        position += sign * step;
    } else if (down) {
        position += sign * speed * dt;
    } else if (latched == 1) {
        latched = 0;
        position = cell;
    }
}

std::uint8_t roundToCell(double value) {
    const double truncated = std::trunc(value + 0.5);
    if (!std::isfinite(truncated)) {
        return 0;
    }
    // The low eight bits of any integer are its value modulo 256, also beyond the range of int.
    double low = std::fmod(truncated, 256.0);
    if (low < 0) {
        low += 256.0;
    }
    return static_cast<std::uint8_t>(low);
}
