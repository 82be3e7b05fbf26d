// The key table (phases, presses and releases consumed once) and the rounding of positions to
// cells.
#include "GameHarness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr int keyW = 'W';
constexpr int keyS = 'S';

using Phase = KeyPhase;

Phase phaseOf(const Controls& controls, int key) {
    return controls.phase(static_cast<std::uint8_t>(key));
}

// A key table bound as W up, S down (and W for use too, unless `oneSlot`), and polled against a
// scripted keyboard.
struct PolledControls {
    explicit PolledControls(bool oneSlot = false)
        : controls(harness::controlsFrom(oneSlot ? "cMoveUp = w\ncMoveDown = s\n"
                                                 : "cMoveUp = w\ncMoveDown = s\ncUse = w\n")) {}
    platform::ScriptedKeyboard keyboard;
    Controls controls;

    // Polls once with `keys` down; returns the frame's inputChanged.
    bool poll(std::initializer_list<int> keys) {
        keyboard.releaseAll();
        for (const int key : keys) {
            keyboard.setDown(key, true);
        }
        bool changed = false;
        controls.poll(keyboard, changed);
        return changed;
    }
};

} // namespace

TEST(Controls, KeyGoesThroughNewPressHeldReleasedIdle) {
    PolledControls c(true); // W in one slot only
    EXPECT_FALSE(c.poll({}));
    EXPECT_EQ(phaseOf(c.controls, keyW), Phase::Idle);
    EXPECT_TRUE(c.poll({keyW}));
    EXPECT_EQ(phaseOf(c.controls, keyW), Phase::NewPress);
    EXPECT_TRUE(c.poll({keyW}));
    EXPECT_EQ(phaseOf(c.controls, keyW), Phase::Held);
    EXPECT_TRUE(c.poll({}));
    EXPECT_EQ(phaseOf(c.controls, keyW), Phase::Released);
    // The release stays pending, but a frame with nothing down and nothing just released does
    // not count as input.
    EXPECT_FALSE(c.poll({}));
    EXPECT_EQ(phaseOf(c.controls, keyW), Phase::Released);
    EXPECT_TRUE(c.controls.released(KeySlot::MoveUp));
    EXPECT_EQ(phaseOf(c.controls, keyW), Phase::Idle);
}

TEST(Controls, PressAndReleaseAreConsumedOnce) {
    PolledControls c(true);
    c.poll({keyW});
    EXPECT_FALSE(c.controls.released(KeySlot::MoveUp));
    EXPECT_TRUE(c.controls.pressed(KeySlot::MoveUp));
    EXPECT_FALSE(c.controls.pressed(KeySlot::MoveUp));
    c.poll({keyW});
    EXPECT_FALSE(c.controls.pressed(KeySlot::MoveUp)); // held across frames: still one press
    c.poll({});
    EXPECT_FALSE(c.controls.pressed(KeySlot::MoveUp));
    EXPECT_TRUE(c.controls.released(KeySlot::MoveUp));
    EXPECT_FALSE(c.controls.released(KeySlot::MoveUp));
    // The other slot's key was never touched.
    EXPECT_EQ(phaseOf(c.controls, keyS), Phase::Idle);
    EXPECT_FALSE(c.controls.pressed(KeySlot::MoveDown));
    EXPECT_FALSE(c.controls.released(KeySlot::MoveDown));
}

TEST(Controls, NewPressClearsAPendingRelease) {
    PolledControls c(true);
    c.poll({keyW});
    c.poll({});
    ASSERT_EQ(phaseOf(c.controls, keyW), Phase::Released);
    c.poll({keyW});
    EXPECT_EQ(phaseOf(c.controls, keyW), Phase::NewPress);
    EXPECT_FALSE(c.controls.released(KeySlot::MoveUp));
    EXPECT_TRUE(c.controls.pressed(KeySlot::MoveUp));
}

TEST(Controls, KeyInTwoSlotsNeverShowsANewPress) {
    PolledControls c; // W is cMoveUp and cUse
    EXPECT_TRUE(c.poll({keyW}));
    EXPECT_EQ(phaseOf(c.controls, keyW), Phase::Held);
    EXPECT_FALSE(c.controls.pressed(KeySlot::MoveUp));
    EXPECT_FALSE(c.controls.pressed(KeySlot::Use));
    c.poll({keyW});
    EXPECT_EQ(phaseOf(c.controls, keyW), Phase::Held);
    // Held and released still work, through either slot, once.
    c.poll({});
    EXPECT_EQ(phaseOf(c.controls, keyW), Phase::Released);
    EXPECT_TRUE(c.controls.released(KeySlot::Use));
    EXPECT_FALSE(c.controls.released(KeySlot::MoveUp));
}

TEST(Controls, UnboundSlotsAndOtherKeysAreNeverInput) {
    PolledControls c;
    // Keys in no slot, including the code 0 of unbound slots, are not read.
    EXPECT_FALSE(c.poll({'A', harness::vkEnter, 255}));
    EXPECT_FALSE(c.controls.pressed(KeySlot::Rest));
    EXPECT_FALSE(c.controls.released(KeySlot::Rest));
    EXPECT_EQ(phaseOf(c.controls, 'A'), Phase::Idle);
    EXPECT_EQ(phaseOf(c.controls, 0), Phase::Idle);
    // Escape is always polled.
    EXPECT_TRUE(c.poll({harness::vkEscape}));
    EXPECT_TRUE(c.controls.pressed(KeySlot::Escape));
}

TEST(Controls, RoundToCellRoundsHalfUpAndKeepsTheLowByte) {
    EXPECT_EQ(roundToCell(40.0), 40);
    EXPECT_EQ(roundToCell(41.5), 42);
    EXPECT_EQ(roundToCell(41.49), 41);
    EXPECT_EQ(roundToCell(41.8), 42);
    EXPECT_EQ(roundToCell(0.0), 0);
    EXPECT_EQ(roundToCell(-0.49), 0);
    EXPECT_EQ(roundToCell(-1.0), 0); // -0.5 truncates toward zero
    EXPECT_EQ(roundToCell(-1.4), 0);
    EXPECT_EQ(roundToCell(-1.5), 255);
    EXPECT_EQ(roundToCell(-2.0), 255); // -1.5 truncates to -1
    EXPECT_EQ(roundToCell(-2.5), 254);
    EXPECT_EQ(roundToCell(79.4), 79);
    EXPECT_EQ(roundToCell(79.5), 80);
    EXPECT_EQ(roundToCell(255.6), 0);
    EXPECT_EQ(roundToCell(300.0), 44);
    EXPECT_EQ(roundToCell(-257.0), 0);
}

TEST(Controls, RoundToCellIsDefinedForEveryDouble) {
    // Beyond the range of int the low byte is still taken from the integer.
    EXPECT_EQ(roundToCell(1099511627776.0 + 13.0), 13); // 2^40 + 13
    EXPECT_EQ(roundToCell(-1099511627776.0 - 2.0), 255);
    EXPECT_EQ(roundToCell(1e300), 0);
    EXPECT_EQ(roundToCell(-1e300), 0);
    EXPECT_EQ(roundToCell(std::numeric_limits<double>::max()), 0);
    EXPECT_EQ(roundToCell(std::numeric_limits<double>::lowest()), 0);
    EXPECT_EQ(roundToCell(std::numeric_limits<double>::denorm_min()), 0);
    EXPECT_EQ(roundToCell(-std::numeric_limits<double>::denorm_min()), 0);
    // Not-a-number and the infinities hold no integer: they fall on cell 0.
    EXPECT_EQ(roundToCell(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(roundToCell(std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(roundToCell(-std::numeric_limits<double>::infinity()), 0);
}
