// Bytes from a terminal, in reads of any size, through the key decoder and the key states, with
// and without the keyboard protocol, at any pace.
#include "posix/KeyDecoder.h"
#include "posix/KeyStates.h"

#include "FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using platform::posix::InputEvent;
using platform::posix::InputKind;

void handle(platform::posix::KeyStates& keys, const InputEvent& event, std::int64_t nowMs) {
    if (event.kind == InputKind::FocusOut) {
        keys.releaseAll();
        return;
    }
    if (event.kind == InputKind::Key) {
        keys.take(event.action, event.vk, nowMs);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    platform::posix::KeyDecoder decoder;
    platform::posix::KeyStates keys;
    decoder.setReportsReleases(input.ConsumeBool());
    std::int64_t nowMs = input.ConsumeIntegral<std::int64_t>() / 4;
    while (input.remaining_bytes() > 0) {
        const auto length =
            input.ConsumeIntegralInRange<std::size_t>(0, platform::posix::KeyDecoder::maxFeed);
        const std::string bytes = input.ConsumeBytesAsString(length);
        const bool giveUp = input.ConsumeBool();
        nowMs += input.ConsumeIntegralInRange<std::int64_t>(0, 1000);
        decoder.feed(bytes);
        for (const InputEvent& event : decoder.events()) {
            handle(keys, event, nowMs);
        }
        if (giveUp) {
            decoder.flush();
            for (const InputEvent& event : decoder.events()) {
                handle(keys, event, nowMs);
            }
            if (decoder.pending()) {
                fuzz::fail("bytes are held back after giving up on them");
            }
        }
        keys.poll(nowMs);
    }
    // Focus lost: no key stays down.
    keys.releaseAll();
    keys.poll(nowMs + 1);
    for (int vk = 0; vk < 256; ++vk) {
        if (keys.isDown(vk)) {
            fuzz::fail("a key is down after every key was let go");
        }
    }
    return 0;
}
