// The rule every keyboard polls by: at a poll a key reads down when it is down or went down since
// the poll before (a tap between two polls is seen once), and the poll tells the first key that
// went down since the one before. Key codes are 1 to 255; any other is never down.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace platform {

class KeyLatch {
public:
    static constexpr bool valid(int vk) { return vk > 0 && vk < 256; }

    // A key event. A key that goes down from up reads down at the next poll even when it is up
    // again by then, and is that poll's first key down when none came before it. True when the
    // key went down.
    bool set(int vk, bool down) {
        if (!valid(vk)) {
            return false;
        }
        const auto k = static_cast<std::size_t>(vk);
        const bool wentDown = down && !down_[k];
        if (wentDown) {
            latched_[k] = true;
            noteWentDown(vk);
        }
        down_[k] = down;
        return wentDown;
    }

    // The parts of set() for a keyboard that tells them apart: the key's state alone (a repeat, a
    // release), the key read down at the next poll, and the key as the first that went down.
    void setDown(int vk, bool down) {
        if (valid(vk)) {
            down_[static_cast<std::size_t>(vk)] = down;
        }
    }
    void latch(int vk) {
        if (valid(vk)) {
            latched_[static_cast<std::size_t>(vk)] = true;
        }
    }
    void noteWentDown(int vk) {
        if (firstDown_ == 0) {
            firstDown_ = vk;
        }
    }

    // The key is down now, or went down since the last poll.
    bool down(int vk) const { return valid(vk) && down_[static_cast<std::size_t>(vk)]; }
    bool latched(int vk) const { return valid(vk) && latched_[static_cast<std::size_t>(vk)]; }
    bool anyDown() const { return std::find(down_.begin(), down_.end(), true) != down_.end(); }

    // Every key up; keys that went down since the last poll still read down at it.
    void releaseAll() { down_.fill(false); }
    // No key went down since the last poll.
    void unlatchAll() { latched_.fill(false); }
    // Every key up, none latched, and the last poll answers as if no key were down; the first key
    // that went down stays noted until forgetFirstDown().
    void clear() {
        down_.fill(false);
        latched_.fill(false);
        polled_.fill(false);
    }
    void forgetFirstDown() { firstDown_ = 0; }

    // The poll: fixes what isDown() and wentDown() answer until the next one.
    void poll() {
        poll([](int, bool readsDown) { return readsDown; });
    }
    // The same, with a keyboard's own say: `rule(vk, readsDown)` is what the key reads at this
    // poll, given what the latch would read.
    template <typename Rule> void poll(Rule&& rule) {
        for (std::size_t k = 0; k < polled_.size(); ++k) {
            polled_[k] = rule(static_cast<int>(k), down_[k] || latched_[k]);
        }
        latched_.fill(false);
        wentDown_ = firstDown_;
        firstDown_ = 0;
    }
    // The poll's first key down is taken back (the keyboard heard it while it was not listening).
    void dropWentDown() { wentDown_ = 0; }

    bool isDown(int vk) const { return valid(vk) && polled_[static_cast<std::size_t>(vk)]; }
    // The first key that went down between the last two polls, or 0.
    std::int32_t wentDown() const { return wentDown_; }

private:
    std::array<bool, 256> down_{};
    std::array<bool, 256> latched_{};
    std::array<bool, 256> polled_{};
    std::int32_t firstDown_ = 0;
    std::int32_t wentDown_ = 0;
};

} // namespace platform
