// The in-game time of day: where it starts, how it wraps at midnight and how the panel shows it.
#include "GameHarness.h"

#include <gtest/gtest.h>

TEST(DayClock, WrapsOnlyPastMidnight) {
    DayClock clock(86400.0 - 0.5);
    clock.advance(0.5);
    EXPECT_EQ(clock.seconds(), 86400.0); // exactly midnight stays
    clock.advance(0.0);
    EXPECT_EQ(clock.seconds(), 86400.0);

    DayClock late(86400.0 - 0.1);
    late.advance(0.2);
    EXPECT_EQ(late.seconds(), 0.0); // the part beyond midnight is dropped

    DayClock fast(100.0, 60.0);
    fast.advance(2.0);
    EXPECT_EQ(fast.seconds(), 220.0);
}

TEST(DayClock, PanelShowsHoursMinutesSecondsTruncated) {
    const Player player(MapCell{7, 9});
    PanelReading panel;
    auto shown = [&](double seconds) {
        panel = readPanel(DayClock(seconds), player);
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
    panel = readPanel(clock, player);
    EXPECT_EQ(panel.hours, 0);
    EXPECT_EQ(panel.minutes, 0);
    EXPECT_EQ(panel.seconds, 0);
}

TEST(DayClock, StartsAtTheLocalTimeAndFillsThePanelAtOnce) {
    using harness::vkEscape;
    harness::GameHarness h;
    h.dir.writeWorld(harness::startStem, harness::gridFile(), "a b 0");
    h.clock.setLocalTime({23, 59, 59});
    ASSERT_TRUE(h.start());
    EXPECT_EQ(h.clockSeconds(), 86399.0);
    EXPECT_EQ(h.playerX(), 40);
    EXPECT_EQ(h.playerY(), 12);
    EXPECT_FALSE(h.panelShown());
    // Opened before the first tick, the panel shows the time and the cell of the start.
    h.frame(16, {harness::vkEnter});
    h.frame(16, {harness::vkTab});
    EXPECT_EQ(h.screenRow(1).substr(panelLeft + 1, 9), " 23:59:59");
    EXPECT_EQ(h.screenRow(3).substr(panelLeft + 1, 9), "X:40 Y:12");
    h.frame(0);

    // The clock stands while the menu is shown and runs in play: 1000 ms count as a little
    // more than one second, so 23:59:59 goes straight past midnight to 00:00:00.
    h.frame(16, {vkEscape});
    h.frame(5000);
    EXPECT_NEAR(h.clockSeconds(), 86399.0 + 16 * static_cast<double>(0.001f), 1e-9);
    ASSERT_TRUE(h.enterPlay());
    h.frame(1000 - 32);
    EXPECT_EQ(h.clockSeconds(), 0.0);
}
