// What one frame reads from outside: how long it lasted on the wall clock, which keys were down
// and the cell clicked.
// The frame loop reads it once, records it when asked, and the key table takes it from there; a
// replay script holds the same, one line a frame.
#pragma once

#include "platform/Platform.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

struct FrameInput {
    // Room for every key there is.
    static constexpr std::size_t maxKeys = 255;

    // Wall-clock milliseconds since the frame before (negative when the clock stepped back).
    std::int64_t ms = 0;
    // The keys found down, by virtual-key code (1..255), each once, in the order they were asked.
    std::array<std::uint8_t, maxKeys> keys{};
    std::size_t keyCount = 0;
    // The screen cell clicked during the frame, if any.
    std::optional<platform::ScreenPoint> click;

    std::span<const std::uint8_t> keysDown() const { return std::span(keys).first(keyCount); }
    bool isDown(int vk) const;
    // Adds a key (once; codes outside 1..255 and keys beyond the room are left out).
    void addKey(int vk);
};

// Samples the keyboard and asks it for each code of `codes`: what the frame found down, and the
// click, go into `input` (its milliseconds are left alone). Returns what the keyboard met besides
// keys; `input` then holds no keys.
platform::InputStatus readFrameKeys(platform::Keyboard& keyboard,
                                    std::span<const std::int32_t> codes, FrameInput& input);
