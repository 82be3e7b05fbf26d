// Key states at the game's polls: taps, auto-repeat holds, exact press and release.
#include "platform/posix/KeyStates.h"

#include <gtest/gtest.h>

namespace {

using platform::posix::KeyStates;

constexpr int up = 38;
constexpr int right = 39;

// Polls every `stepMs` from `fromMs` to `toMs`; how many polls saw the key down.
int pollsDown(KeyStates& keys, int vk, std::int64_t fromMs, std::int64_t toMs,
              std::int64_t stepMs) {
    int n = 0;
    for (std::int64_t t = fromMs; t <= toMs; t += stepMs) {
        keys.poll(t);
        n += keys.isDown(vk) ? 1 : 0;
    }
    return n;
}

TEST(KeyStatesStrokes, ATapIsDownForExactlyOnePoll) {
    KeyStates keys;
    keys.stroke(up, 1000);
    keys.poll(1000);
    EXPECT_TRUE(keys.isDown(up));
    EXPECT_FALSE(keys.isDown(right));
    keys.poll(1001);
    EXPECT_FALSE(keys.isDown(up));
    // However slow or fast the polls come.
    keys.stroke(up, 5000);
    EXPECT_EQ(pollsDown(keys, up, 5300, 6000, 1), 1);
    keys.stroke(up, 7000);
    keys.stroke(right, 7000);
    keys.poll(7000);
    EXPECT_TRUE(keys.isDown(up) && keys.isDown(right));
}

// Classic input at the pace the game polls: every millisecond as it once did, and every 2 ms
// now that an idle game rests between frames. A stroke is taken at the poll that reads it.
class KeyStatesPace : public ::testing::TestWithParam<std::int64_t> {};

TEST_P(KeyStatesPace, SlowRepeatedTapsAreSeparateTaps) {
    const std::int64_t step = GetParam();
    KeyStates keys;
    int down = 0;
    for (std::int64_t t = 0; t < 2000; t += 250) {
        keys.stroke(right, t);
        down += pollsDown(keys, right, t, t + 249, step);
    }
    EXPECT_EQ(down, 8);
}

TEST_P(KeyStatesPace, AutoRepeatHoldsTheKeyUntilRepeatsStop) {
    const std::int64_t step = GetParam();
    KeyStates keys;
    // The first press, the terminal's repeat delay, then repeats every 33 ms up to t = 1500,
    // each read at the first poll after it arrives.
    keys.stroke(right, 0);
    EXPECT_EQ(pollsDown(keys, right, 0, 499, step), 1);
    std::int64_t last = 0;
    int polls = 0;
    int down = 0;
    for (std::int64_t arrival = 500; arrival <= 1500; arrival += 33) {
        const std::int64_t t = (arrival + step - 1) / step * step;
        keys.stroke(right, t);
        last = t;
        polls += static_cast<int>(32 / step + 1);
        down += pollsDown(keys, right, t, t + 32, step);
    }
    // Down on every poll from the second repeat on (the first may be a tap of its own).
    EXPECT_GE(down, polls - static_cast<int>(32 / step + 1));
    // After the last repeat: still down for at least 120 ms (2.5 intervals is less here), and
    // up at the first poll after: no key stays stuck.
    keys.poll(last + 120);
    EXPECT_TRUE(keys.isDown(right));
    keys.poll(last + 120 + step);
    EXPECT_FALSE(keys.isDown(right));
}

INSTANTIATE_TEST_SUITE_P(PollEvery, KeyStatesPace, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<std::int64_t>& info) {
                             return std::to_string(info.param) + "ms";
                         });

TEST(KeyStatesStrokes, SlowAutoRepeatHoldsForTwoAndAHalfIntervals) {
    KeyStates keys;
    for (std::int64_t t = 0; t <= 1000; t += 100) {
        keys.stroke(up, t);
        keys.poll(t);
    }
    keys.poll(1000 + 240);
    EXPECT_TRUE(keys.isDown(up));
    keys.poll(1000 + 260);
    EXPECT_FALSE(keys.isDown(up));
}

// The panel key in a terminal without releases: a stroke, the terminal's pause, then repeats.
constexpr int tab = 9;

// Strokes of `vk` as a terminal sends a hold: at `from`, then after `delay` every 33 ms to `to`.
// Polls every 2 ms to `until`; the polls that saw the key down, and the times it went up.
struct Hold {
    int down = 0;
    int polls = 0;
    int ups = 0; // times it was down at one poll and up at the next
};
Hold hold(KeyStates& keys, int vk, std::int64_t from, std::int64_t delay, std::int64_t to,
          std::int64_t until) {
    Hold seen;
    std::int64_t next = from;
    bool was = false;
    for (std::int64_t t = from; t <= until; t += 2) {
        if (next <= t && next <= to) {
            keys.stroke(vk, t);
            next = next == from ? from + delay : next + 33;
        }
        keys.poll(t);
        seen.polls += t <= to ? 1 : 0;
        seen.down += keys.isDown(vk) && t <= to ? 1 : 0;
        seen.ups += was && !keys.isDown(vk) ? 1 : 0;
        was = keys.isDown(vk);
    }
    return seen;
}

TEST(KeyStatesHeld, APanelKeyHeldIsDownOnceWithoutAGap) {
    const std::int32_t panel[] = {tab};
    KeyStates keys;
    keys.holdKeys(panel);
    // xterm's pause of 660 ms, before anything was learned: no flash, no gap, let go once.
    Hold seen = hold(keys, tab, 0, 660, 1900, 2400);
    EXPECT_EQ(seen.down, seen.polls);
    EXPECT_EQ(seen.ups, 1);
    // A terminal that pauses 900 ms: a movement key held there teaches the pause.
    hold(keys, right, 10000, 900, 11000, 11500);
    EXPECT_EQ(keys.repeatDelayMs(), 900);
    seen = hold(keys, tab, 20000, 900, 21000, 21500);
    EXPECT_EQ(seen.down, seen.polls);
    EXPECT_EQ(seen.ups, 1);
    // A tap shows the panel briefly (until repeats could have begun), then it is let go.
    EXPECT_EQ(keys.msUntilRelease(30000), -1);
    keys.stroke(tab, 30000);
    keys.poll(30000);
    EXPECT_TRUE(keys.isDown(tab));
    EXPECT_EQ(keys.msUntilRelease(30000), 900 + KeyStates::maxRepeatGapMs + 1);
    keys.poll(30000 + 900 + KeyStates::maxRepeatGapMs);
    EXPECT_TRUE(keys.isDown(tab));
    keys.poll(30000 + 900 + KeyStates::maxRepeatGapMs + 1);
    EXPECT_FALSE(keys.isDown(tab));
    // A movement key keeps one step per stroke: down at one poll, then up until its repeats.
    seen = hold(keys, right, 40000, 900, 40500, 40600);
    EXPECT_EQ(seen.down, 1);
    // Slow repeats (every 100 ms) keep it down for 2.5 intervals after the last one.
    keys.stroke(tab, 50000);
    for (std::int64_t t = 50900; t <= 51500; t += 100) {
        keys.stroke(tab, t);
        keys.poll(t);
    }
    EXPECT_EQ(keys.msUntilRelease(51500), 251);
    // A stroke that comes after the hold ran out, with no poll between, starts a hold afresh.
    keys.stroke(tab, 60000);
    keys.stroke(tab, 62000);
    EXPECT_EQ(keys.msUntilRelease(62000), 900 + KeyStates::maxRepeatGapMs + 1);
}

// The wait asks when the soonest hold runs out: a hold already due is the soonest, whatever
// other key is held longer.
TEST(KeyStatesHeld, AHoldAlreadyDueIsTheSoonestRelease) {
    const std::int32_t panel[] = {tab, 13};
    KeyStates keys;
    keys.holdKeys(panel);
    keys.stroke(tab, 0);
    const std::int64_t due = keys.msUntilRelease(0);
    keys.stroke(13, 500);
    EXPECT_EQ(keys.msUntilRelease(due + 10), 0);
    EXPECT_EQ(keys.msUntilRelease(due - 10), 10);
}

TEST(KeyStatesHeld, TheLearnedPauseIsNeverShorterThanADoubleTap) {
    KeyStates keys;
    // Strokes 120 ms apart, then one 20 ms later: 150 ms at least.
    keys.stroke(up, 0);
    keys.stroke(up, 120);
    keys.stroke(up, 140);
    EXPECT_EQ(keys.repeatDelayMs(), KeyStates::minRepeatDelayMs);
    // Two taps far apart teach nothing.
    keys.stroke(up, 10000);
    keys.stroke(up, 13000);
    keys.stroke(up, 13030);
    EXPECT_EQ(keys.repeatDelayMs(), KeyStates::minRepeatDelayMs);
}

TEST(KeyStatesExact, PressHoldsUntilRelease) {
    KeyStates keys;
    keys.press(up);
    EXPECT_EQ(pollsDown(keys, up, 0, 10000, 7), 1429);
    keys.repeat(up);
    keys.release(up);
    keys.poll(10001);
    EXPECT_FALSE(keys.isDown(up));
    // Several at once, released one by one.
    keys.press(up);
    keys.press(right);
    keys.poll(20000);
    EXPECT_TRUE(keys.isDown(up) && keys.isDown(right));
    keys.release(right);
    keys.poll(20001);
    EXPECT_TRUE(keys.isDown(up));
    EXPECT_FALSE(keys.isDown(right));
}

TEST(KeyStatesExact, PressAndReleaseBetweenPollsIsDownForThatPoll) {
    KeyStates keys;
    keys.poll(0);
    keys.press(up);
    keys.release(up);
    keys.poll(16);
    EXPECT_TRUE(keys.isDown(up));
    keys.poll(32);
    EXPECT_FALSE(keys.isDown(up));
    // Pressed again before the next poll: down at it, and held.
    keys.press(up);
    keys.release(up);
    keys.press(up);
    keys.poll(48);
    keys.poll(64);
    EXPECT_TRUE(keys.isDown(up));
}

TEST(KeyStatesExact, ReleaseAllForgetsHeldAndPendingKeys) {
    KeyStates keys;
    keys.press(up);
    for (std::int64_t t = 0; t < 300; t += 30) {
        keys.stroke(right, t);
    }
    keys.poll(300);
    keys.press(65);
    keys.releaseAll();
    EXPECT_FALSE(keys.isDown(up));
    keys.poll(301);
    EXPECT_FALSE(keys.isDown(up) || keys.isDown(right) || keys.isDown(65));
    // Codes outside 1..255 are never down.
    keys.press(0);
    keys.press(300);
    keys.poll(302);
    EXPECT_FALSE(keys.isDown(0) || keys.isDown(300) || keys.isDown(-1));
}

// Behind a mute every key is up, and a key still down when it ends (held, or auto-repeating)
// stays up for the game until it has been let go.
TEST(KeyStatesMuted, KeysDownBehindAMuteCountOnlyOnceLetGo) {
    KeyStates keys;
    keys.setMuted(true);
    keys.stroke(65, 0);
    keys.press(right);
    for (std::int64_t t = 100; t < 700; t += 30) {
        keys.stroke(up, t);
        keys.repeat(right);
        keys.setMuted(t < 400);
        keys.poll(t);
        EXPECT_FALSE(keys.isDown(up) || keys.isDown(right) || keys.isDown(65)) << t;
    }
    keys.release(right);
    keys.poll(1000);
    keys.press(right);
    keys.stroke(up, 1000);
    keys.poll(1001);
    EXPECT_TRUE(keys.isDown(right) && keys.isDown(up));
}

// A game that rests between frames relies on this: a poll answers differently from the one before
// only after a new event or at the time nextChangeMs announced after that poll.
TEST(KeyStatesTimers, EveryChangeWithoutAnEventWasAnnounced) {
    KeyStates keys;
    std::int64_t announced = -1;
    int changes = 0;
    for (std::int64_t t = 0; t < 2000; ++t) {
        bool event = true;
        if (t <= 600 && t % 33 == 0) {
            keys.stroke(right, t); // auto-repeat, then it stops
        } else if (t == 100 || t == 1200) {
            keys.stroke(up, t); // taps
        } else if (t == 800) {
            keys.press(65);
        } else if (t == 900) {
            keys.release(65);
        } else {
            event = false;
        }
        const bool wasDown[] = {keys.isDown(right), keys.isDown(up), keys.isDown(65)};
        keys.poll(t);
        const bool changed = wasDown[0] != keys.isDown(right) || wasDown[1] != keys.isDown(up) ||
                             wasDown[2] != keys.isDown(65);
        if (changed && !event) {
            ++changes;
            EXPECT_TRUE(announced >= 0 && announced <= t) << t;
        }
        announced = keys.nextChangeMs(t);
        if (t == 850) {
            EXPECT_EQ(announced, -1) << "a key pressed and not let go changes nothing by itself";
        }
    }
    EXPECT_EQ(announced, -1);
    EXPECT_GE(changes, 3); // the repeats' end and both taps' ends
}

TEST(KeyStatesTimers, WentDownNamesTheFirstKeyAFingerPutDown) {
    KeyStates keys;
    keys.stroke(right, 0);
    keys.press(up);
    keys.poll(0);
    EXPECT_EQ(keys.wentDown(), right);
    keys.stroke(right, 30); // auto-repeat, and a key still held
    keys.repeat(up);
    keys.poll(30);
    EXPECT_EQ(keys.wentDown(), 0);
    keys.release(up); // a press after a release is a key put down again
    keys.press(up);
    keys.poll(35);
    EXPECT_EQ(keys.wentDown(), up);
    keys.setMuted(true);
    keys.press(65);
    keys.poll(40);
    EXPECT_EQ(keys.wentDown(), 0);
}

} // namespace
