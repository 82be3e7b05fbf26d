// The keyboard as the game sees it: the bound keys sampled once per frame, with two bytes per
// virtual key that tell a new press, a held key, a release waiting to be consumed and an idle key
// apart, so that one physical press triggers one action.
#pragma once

#include "core/Actions.h"
#include "core/FrameInput.h"
#include "platform/Platform.h"

#include <array>
#include <cstdint>

// The virtual-key code of each slot, indexed by KeySlot; 0 leaves a slot unbound.
using KeyCodes = std::array<std::int32_t, keySlotCount>;

// Where a key stands in the table: idle, newly down, held, or come up with the release not yet
// consumed.
enum class KeyPhase : std::uint8_t { Idle, NewPress, Held, Released };

class Controls {
public:
    // The table with the given bindings (slot 0 is always Escape) and no key down.
    explicit Controls(const KeyCodes& bindings);

    // Samples the bound keys. Called once per frame by the frame loop; sets
    // `inputChanged` when a bound key is down or has just come up. Returns what the keyboard met
    // besides keys; when that ends the game the table is left as it was.
    platform::InputStatus poll(platform::Keyboard& keyboard, bool& inputChanged);
    // The same with the frame's keys already read (readFrameKeys over `keys`).
    void apply(const FrameInput& input, bool& inputChanged);

    // True once per press: the slot's key is newly down; the press is consumed.
    bool pressed(KeySlot slot);
    // True once per release: the slot's key came up and that was not consumed yet; consumes it.
    bool released(KeySlot slot);
    // Moves a continuous position along one axis by the tap-and-hold rule: a new press (consumed)
    // steps by `step` at once, a held key moves at `speed` per second, a release (consumed) snaps
    // back onto `cell`.
    void stepByKey(KeySlot slot, double sign, double step, double speed, double dt,
                   double& position, int cell);

    int key(KeySlot slot) const { return keys_[static_cast<int>(slot)]; }
    const KeyCodes& keys() const { return keys_; }
    KeyPhase phase(std::uint8_t code) const {
        if (down_[code] == 1) {
            return latched_[code] == 1 ? KeyPhase::Held : KeyPhase::NewPress;
        }
        return latched_[code] == 1 ? KeyPhase::Released : KeyPhase::Idle;
    }

private:
    // Per virtual key: down in this sample, and a press or release that has been seen (latched).
    std::array<std::uint8_t, 256> down_{};
    std::array<std::uint8_t, 256> latched_{};
    KeyCodes keys_{};
};

// `value` + 0.5 truncated toward zero, keeping the low eight bits of the integer; defined for
// every double (a position far off the screen still gives some byte, never undefined behaviour).
std::uint8_t roundToCell(double value);
