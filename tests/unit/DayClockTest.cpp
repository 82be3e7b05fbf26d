// The in-game time of day: where it starts, how it wraps at midnight and how the panel shows it.
#include "GameHarness.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(h.overlays().panelShown(), 0);
    EXPECT_EQ(h.player().x, 40);
    EXPECT_EQ(h.player().y, 12);
    EXPECT_EQ(h.world().overlayShown(), 0);

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
