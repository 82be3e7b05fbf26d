// Which keys are down at each poll of the game, from the key events of a terminal. Exact events
// (press, repeat, release) give exact states. A stroke, which has no release, is down for exactly
// one poll; when strokes of one key come as fast as the terminal's auto-repeat sends them, the
// key is held until they stop. A key that went down and up between two polls is down for that
// one poll. Pure: times are passed in (milliseconds of a steady clock).
//
// A key whose state the game reads as held, not as steps (the panel key), is kept down from a
// stroke until its repeats could have begun, and then as long as they come: a hold shows it down
// once, from the first stroke to the last repeat, and a tap briefly. How long a terminal waits
// before it repeats is learned from the player's own held keys (the gap between the first and the
// second stroke of a run of repeats).
#pragma once

#include "KeyLatch.h"
#include "posix/KeyDecoder.h"

#include <array>
#include <cstdint>
#include <span>

namespace platform::posix {

class KeyStates {
public:
    // Strokes of one key this close together come from auto-repeat, not from a finger.
    static constexpr std::int64_t maxRepeatGapMs = 110;
    // A held key is let go when no repeat came for 2.5 repeat intervals, and never sooner than
    // this after the last one.
    static constexpr std::int64_t minHoldMs = 120;
    // The pause before auto-repeat until one is learned, and the shortest one learned (a quick
    // double tap is no repeat); a longer gap than the longest is no pause before a repeat.
    static constexpr std::int64_t defaultRepeatDelayMs = 700;
    static constexpr std::int64_t minRepeatDelayMs = 150;
    static constexpr std::int64_t maxRepeatDelayMs = 2000;

    // The keys kept down between a stroke and its repeats (unset by an empty list).
    void holdKeys(std::span<const std::int32_t> codes);
    // The pause before auto-repeat as learned so far.
    std::int64_t repeatDelayMs() const { return repeatDelayMs_; }

    // A key event as the decoder reports it: a stroke, a press, a repeat or a release.
    void take(KeyAction action, int vk, std::int64_t nowMs);

    void press(int vk);
    void repeat(int vk);
    void release(int vk);
    void stroke(int vk, std::int64_t nowMs);
    // Every key up (focus lost, resumed after a suspend).
    void releaseAll();
    // While muted every key polls as up; events still count, so that what is held is known. A key
    // down when the mute ends stays up for the game until it has been let go (its repeats stop).
    void setMuted(bool muted);

    // The game's poll: fixes what isDown answers until the next poll.
    void poll(std::int64_t nowMs);
    // Milliseconds from `nowMs` until a key held by strokes is let go if no repeat comes (0 when
    // one is due), or -1 when none is: what a rest between frames may wait at most.
    std::int64_t msUntilRelease(std::int64_t nowMs) const;
    bool isDown(int vk) const { return latch_.isDown(vk); }
    // The first key that went down (pressed, or stroked by a finger rather than by auto-repeat)
    // between the last two polls, or 0; none while muted.
    std::int32_t wentDown() const { return latch_.wentDown(); }
    // The steady time at which a poll would answer differently with no new event (a key went
    // down since the last poll, a stroke's one poll is over, a held key's repeats stopped long
    // enough to let it go), or -1 when only new events can change the answer.
    std::int64_t nextChangeMs(std::int64_t nowMs) const;

private:
    // Beside the latch's own (pressed and not released by exact events, went down after the
    // last poll), what strokes tell of a key.
    struct Key {
        bool stroked = false; // a stroke has been seen
        bool held = false;    // auto-repeating
        std::int64_t lastStrokeMs = 0;
        std::int64_t intervalMs = 0; // the repeat interval, smoothed
        std::int64_t holdUntilMs = 0;
        bool stale = false;          // down since a mute: up for the game until let go
        bool holds = false;          // kept down between a stroke and its repeats
        bool awaitingRepeat = false; // held from a stroke until its repeats could have begun
        bool repeating = false;      // the last stroke came as fast as auto-repeat
        std::int64_t lastGapMs = -1; // between the last two strokes
    };
    static bool valid(int vk) { return KeyLatch::valid(vk); }
    void noteWentDown(int vk);

    std::array<Key, 256> keys_{};
    KeyLatch latch_;
    bool muted_ = false;
    std::int64_t repeatDelayMs_ = defaultRepeatDelayMs;
};

} // namespace platform::posix
