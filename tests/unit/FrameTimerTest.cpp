// Frame timing from the wall clock: frames of no time when it steps back, one long frame when it
// jumps ahead.
#include "GameHarness.h"

#include "app/FrameTimer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

TEST(FrameTimer, MeasuresWallClockFramesAndNeverGoesBackwards) {
    platform::ManualClock clock;
    FrameTimer timer(clock);
    clock.advance(16);
    timer.tick();
    EXPECT_EQ(timer.deltaMs, 16.0);
    // Seconds are scaled by the single-precision 0.001, widened.
    EXPECT_EQ(timer.seconds(), 16.0 * static_cast<double>(0.001f));
    EXPECT_NE(timer.seconds(), 0.016);
    // A clock that steps back gives the rules a frame of no time, the recording the step as read...
    clock.advance(-5000);
    timer.tick();
    EXPECT_EQ(timer.deltaMs, 0.0);
    EXPECT_EQ(timer.frameMs, -5000);
    EXPECT_EQ(timer.seconds(), 0.0);
    // ...and the next frame is measured from the new reading, not from the old one.
    clock.advance(20);
    timer.tick();
    EXPECT_EQ(timer.deltaMs, 20.0);
    // A still clock gives 0, a forward jump one long frame.
    timer.tick();
    EXPECT_EQ(timer.deltaMs, 0.0);
    clock.advance(3600000);
    timer.tick();
    EXPECT_EQ(timer.deltaMs, 3600000.0);
    timer.restart();
    EXPECT_EQ(timer.deltaMs, 0.0);
    clock.advance(7);
    timer.tick();
    EXPECT_EQ(timer.deltaMs, 7.0);
}

TEST(FrameTimer, BackwardClockInPlayMovesNothingBackwards) {
    harness::GameHarness h;
    h.dir.writeWorld(harness::startStem, harness::gridFile(), "a b 0");
    h.clock.setLocalTime({10, 0, 0});
    ASSERT_TRUE(h.start());
    ASSERT_TRUE(h.enterPlay());
    const double before = h.clockSeconds();
    h.frame(16, {harness::vkRight}); // the press steps one cell
    EXPECT_EQ(h.playerX(), 41.0);
    h.frame(-60000, {harness::vkRight}); // held, but the frame lasted no time
    EXPECT_EQ(h.playerX(), 41.0);
    EXPECT_EQ(h.playerX(), 41);
    EXPECT_EQ(h.clockSeconds(), before + 16 * static_cast<double>(0.001f));
    h.frame(125, {harness::vkRight}); // 0.125 s at 8 cells a second: one more cell
    EXPECT_EQ(h.playerX(), 42);
}

TEST(FrameTimer, ManualClockStopsAtTheEndsOfItsRange) {
    constexpr std::int64_t most = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t least = std::numeric_limits<std::int64_t>::min();
    platform::ManualClock clock;
    FrameTimer timer(clock);
    clock.advance(most);
    clock.advance(most);
    EXPECT_EQ(clock.nowMs(), most);
    timer.tick();
    EXPECT_EQ(timer.deltaMs, static_cast<double>(most - platform::ManualClock::defaultStartMs));
    clock.advance(least);
    clock.advance(least);
    EXPECT_EQ(clock.nowMs(), least);
    timer.tick();
    EXPECT_EQ(timer.deltaMs, 0.0);
    clock.advance(most); // from one end to the other in one frame
    timer.tick();
    EXPECT_EQ(timer.deltaMs, static_cast<double>(most));
}
