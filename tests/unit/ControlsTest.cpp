// The key table (phases, presses and releases consumed once), the rounding of positions to
// cells, the frame timer and the day clock.
#include "GameHarness.h"

#include "app/FrameTimer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr int keyW = 'W';
constexpr int keyS = 'S';

enum class Phase { NewPress, Held, Released, Idle };

Phase phaseOf(const Controls& controls, int key) {
    const bool down = controls.down[key] == 1;
    const bool latched = controls.latched[key] == 1;
    if (down) {
        return latched ? Phase::Held : Phase::NewPress;
    }
    return latched ? Phase::Released : Phase::Idle;
}

// A key table bound as W up, S down, and polled against a scripted keyboard.
struct PolledControls {
    harness::KeyboardScope scope;
    Controls controls = harness::controlsFrom("cMoveUp = w\ncMoveDown = s\ncUse = w\n");

    // Polls once with `keys` down; returns the frame's inputChanged.
    bool poll(std::initializer_list<int> keys) {
        scope.keyboard.releaseAll();
        for (const int key : keys) {
            scope.keyboard.setDown(key, true);
        }
        bool changed = false;
        controls.poll(changed);
        return changed;
    }
};

} // namespace

TEST(Controls, KeyGoesThroughNewPressHeldReleasedIdle) {
    PolledControls c;
    c.controls.keys[static_cast<int>(KeySlot::Use)] = 0; // W in one slot only
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
    PolledControls c;
    c.controls.keys[static_cast<int>(KeySlot::Use)] = 0;
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
    PolledControls c;
    c.controls.keys[static_cast<int>(KeySlot::Use)] = 0;
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
    EXPECT_EQ(c.controls.down['A'], 0);
    EXPECT_EQ(c.controls.down[0], 0);
    EXPECT_EQ(c.controls.latched[0], 0);
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

TEST(FrameTimer, MeasuresWallClockFramesAndNeverGoesBackwards) {
    harness::KeyboardScope scope;
    FrameTimer timer;
    scope.clock.advance(16);
    timer.tick();
    EXPECT_EQ(timer.deltaMs, 16.0);
    // Seconds are scaled by the single-precision 0.001, widened.
    EXPECT_EQ(timer.seconds(), 16.0 * static_cast<double>(0.001f));
    EXPECT_NE(timer.seconds(), 0.016);
    // A clock that steps back gives a frame of no time...
    scope.clock.advance(-5000);
    timer.tick();
    EXPECT_EQ(timer.deltaMs, 0.0);
    EXPECT_EQ(timer.seconds(), 0.0);
    // ...and the next frame is measured from the new reading, not from the old one.
    scope.clock.advance(20);
    timer.tick();
    EXPECT_EQ(timer.deltaMs, 20.0);
    // A still clock gives 0, a forward jump one long frame.
    timer.tick();
    EXPECT_EQ(timer.deltaMs, 0.0);
    scope.clock.advance(3600000);
    timer.tick();
    EXPECT_EQ(timer.deltaMs, 3600000.0);
    timer.restart();
    EXPECT_EQ(timer.deltaMs, 0.0);
    scope.clock.advance(7);
    timer.tick();
    EXPECT_EQ(timer.deltaMs, 7.0);
}

TEST(FrameTimer, BackwardClockInPlayMovesNothingBackwards) {
    harness::GameHarness h;
    h.dir.writeWorld(harness::startStem, harness::gridFile(), "a b 0");
    h.clock.setLocalTime({10, 0, 0});
    ASSERT_TRUE(h.start());
    ASSERT_TRUE(h.enterPlay());
    const double before = h.world().clock->seconds;
    h.frame(16, {harness::vkRight}); // the press steps one cell
    EXPECT_EQ(h.player().posX, 41.0);
    h.frame(-60000, {harness::vkRight}); // held, but the frame lasted no time
    EXPECT_EQ(h.player().posX, 41.0);
    EXPECT_EQ(h.player().x, 41);
    EXPECT_EQ(h.world().clock->seconds, before + 16 * static_cast<double>(0.001f));
    h.frame(125, {harness::vkRight}); // 0.125 s at 8 cells a second: one more cell
    EXPECT_EQ(h.player().x, 42);
}

TEST(DayClock, WrapsOnlyPastMidnight) {
    DayClock clock(86400.0 - 0.5);
    clock.advance(0.5);
    EXPECT_EQ(clock.seconds, 86400.0); // exactly midnight stays
    clock.advance(0.0);
    EXPECT_EQ(clock.seconds, 86400.0);

    DayClock late(86400.0 - 0.1);
    late.advance(0.2);
    EXPECT_EQ(late.seconds, 0.0); // the part beyond midnight is dropped

    DayClock fast(100.0);
    fast.rate = 60.0;
    fast.advance(2.0);
    EXPECT_EQ(fast.seconds, 220.0);
}

TEST(DayClock, PanelShowsHoursMinutesSecondsTruncated) {
    StatusPanel panel;
    Player player(7, 9);
    auto shown = [&](double seconds) {
        DayClock clock(seconds);
        panel.updateShown(clock, player);
        return std::to_string(panel.hours) + ":" + std::to_string(panel.minutes) + ":" +
               std::to_string(panel.seconds);
    };
    EXPECT_EQ(shown(45296.7), "12:34:56");
    EXPECT_EQ(shown(86400.0), "24:0:0");
    EXPECT_EQ(shown(0.0), "0:0:0");
    EXPECT_EQ(shown(86399.999), "23:59:59");
    EXPECT_EQ(shown(3599.999), "0:59:59");
    EXPECT_EQ(shown(3600.0), "1:0:0");
    EXPECT_EQ(panel.playerX, 7);
    EXPECT_EQ(panel.playerY, 9);

    DayClock clock(86400.0 - 0.1);
    clock.advance(0.2);
    panel.updateShown(clock, player);
    EXPECT_EQ(panel.hours, 0);
    EXPECT_EQ(panel.minutes, 0);
    EXPECT_EQ(panel.seconds, 0);
}

TEST(DayClock, StartsAtTheLocalTimeAndFillsThePanelAtOnce) {
    harness::GameHarness h;
    h.dir.writeWorld(harness::startStem, harness::gridFile(), "a b 0");
    h.clock.setLocalTime({23, 59, 59});
    ASSERT_TRUE(h.start());
    EXPECT_EQ(h.world().clock->seconds, 86399.0);
    EXPECT_EQ(h.world().clock->rate, 1.0);
    // The panel holds the time and the cell before any tick.
    EXPECT_EQ(h.panel().hours, 23);
    EXPECT_EQ(h.panel().minutes, 59);
    EXPECT_EQ(h.panel().seconds, 59);
    EXPECT_EQ(h.panel().playerX, 40);
    EXPECT_EQ(h.panel().playerY, 12);
    EXPECT_EQ(h.panel().shown, 0);
    EXPECT_EQ(h.player().x, 40);
    EXPECT_EQ(h.player().y, 12);
    EXPECT_EQ(h.world().overlayShown, 0);

    // The clock stands while the menu is shown and runs in play: 1000 ms count as a little
    // more than one second, so 23:59:59 goes straight past midnight to 00:00:00.
    h.frame(5000);
    EXPECT_EQ(h.world().clock->seconds, 86399.0);
    ASSERT_TRUE(h.enterPlay());
    h.frame(1000 - 16);
    EXPECT_EQ(h.panel().hours, 0);
    EXPECT_EQ(h.panel().minutes, 0);
    EXPECT_EQ(h.panel().seconds, 0);
}
