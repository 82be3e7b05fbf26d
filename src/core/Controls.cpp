#include "core/Controls.h"

#include "platform/VirtualKeys.h"

#include <cmath>

Controls::Controls(const KeyCodes& bindings) : keys(bindings) {
    keys[static_cast<int>(KeySlot::Escape)] = platform::vk::escape;
}

platform::InputStatus Controls::poll(platform::Keyboard& keyboard, bool& inputChanged) {
    FrameInput input;
    const platform::InputStatus status = readFrameKeys(keyboard, keys, input);
    if (status == platform::InputStatus::Keys) {
        apply(input, inputChanged);
    }
    return status;
}

void Controls::apply(const FrameInput& input, bool& inputChanged) {
    for (const std::int32_t code : keys) {
        const auto k = static_cast<std::uint8_t>(code);
        if (input.isDown(k)) {
            latched[k] = down[k];
            down[k] = 1;
            inputChanged = true;
        } else {
            if (down[k] == 1) {
                latched[k] = 1;
                inputChanged = true;
            }
            down[k] = 0;
        }
    }
}

bool Controls::pressed(KeySlot slot) {
    const auto k = static_cast<std::uint8_t>(key(slot));
    if (down[k] == 1 && latched[k] == 0) {
        latched[k] = 1;
        return true;
    }
    return false;
}

bool Controls::released(KeySlot slot) {
    const auto k = static_cast<std::uint8_t>(key(slot));
    if (down[k] == 0 && latched[k] == 1) {
        latched[k] = 0;
        return true;
    }
    return false;
}

void stepByKey(Controls& controls, KeySlot slot, double sign, double step, double speed, double dt,
               double& position, int cell) {
    const auto k = static_cast<std::uint8_t>(controls.key(slot));
    std::uint8_t& latched = controls.latched[k];
    const bool down = controls.down[k] == 1;
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
