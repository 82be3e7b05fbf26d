// One step of play: the player's tap-and-hold movement, the day clock and the panel refresh, as
// the frame loop drives them.
#include "GameHarness.h"

#include <gtest/gtest.h>

using harness::gridFile;
using harness::startStem;
using harness::vkDown;
using harness::vkEscape;
using harness::vkLeft;
using harness::vkRight;
using harness::vkTab;
using harness::vkUp;

namespace {

constexpr double secondsPerFrameMs = static_cast<double>(0.001f);

bool startPlay(harness::GameHarness& h) {
    h.dir.writeWorld(startStem, gridFile(), "a b 0");
    return h.start() && h.enterPlay();
}

} // namespace

TEST(WorldTick, TapStepsOneCellHoldMovesAtSpeedReleaseSnaps) {
    harness::GameHarness h;
    ASSERT_TRUE(startPlay(h));
    h.frame(16, {vkRight});
    EXPECT_EQ(h.playerX(), 41);
    EXPECT_EQ(h.screen(41, 12).ch, 2);
    EXPECT_EQ(h.screen(40, 12).ch, '.');
    h.frame(100, {vkRight}); // 8 cells a second
    EXPECT_EQ(h.playerX(), 42);
    h.frame(16);
    EXPECT_EQ(h.playerX(), 42);
    // Vertically at 6 cells a second.
    h.frame(16, {vkDown});
    EXPECT_EQ(h.playerY(), 13);
    h.frame(250, {vkDown});
    EXPECT_EQ(h.playerY(), 15);
    h.frame(16);
    // A released fraction below half a cell drops back.
    h.frame(16, {vkLeft});
    h.frame(50, {vkLeft});
    EXPECT_EQ(h.playerX(), 41);
    h.frame(16);
}

TEST(WorldTick, KeysOnOneAxisCancelAndTwoAxesMoveDiagonally) {
    harness::GameHarness h;
    ASSERT_TRUE(startPlay(h));
    h.frame(16, {vkLeft, vkRight});
    h.frame(200, {vkLeft, vkRight});
    EXPECT_EQ(h.playerX(), 40);
    h.frame(16);
    h.frame(16, {vkUp, vkRight});
    EXPECT_EQ(h.playerX(), 41);
    EXPECT_EQ(h.playerY(), 11);
}

TEST(WorldTick, FrameOfNoTimeMovesOnlyByANewPress) {
    harness::GameHarness h;
    ASSERT_TRUE(startPlay(h));
    const double clock = h.clockSeconds();
    h.frame(0, {vkRight});
    h.frame(0, {vkRight});
    h.frame(0, {vkRight});
    EXPECT_EQ(h.clockSeconds(), clock);
}

TEST(WorldTick, PanelFreezesThePlayerButNotTheClock) {
    harness::GameHarness h;
    h.clock.setLocalTime({8, 30, 0});
    ASSERT_TRUE(startPlay(h));
    h.frame(16, {vkTab});
    ASSERT_EQ(h.panelShown(), 1);
    const double clock = h.clockSeconds();
    h.frame(16, {vkTab, vkRight});
    h.frame(500, {vkTab, vkRight, vkDown});
    EXPECT_EQ(h.playerX(), 40);
    EXPECT_EQ(h.playerY(), 12);
    EXPECT_NEAR(h.clockSeconds(), clock + 0.516, 1e-6);
    // The keys' presses were taken while frozen: after closing they are held, not new.
    h.frame(16, {vkRight});
    EXPECT_EQ(h.panelShown(), 0);
    EXPECT_EQ(h.playerX(), 40);
    h.frame(16);
    h.tap(vkRight);
    EXPECT_EQ(h.playerX(), 41);
}

TEST(WorldTick, ShownPanelIsRefreshedOnThe63rdFrameOf16Ms) {
    harness::GameHarness h;
    ASSERT_TRUE(startPlay(h)); // one tick so far
    h.frame(16, {vkTab});      // the second tick opens the panel
    ASSERT_EQ(h.panelShown(), 1);
    std::vector<int> refreshed;
    for (int tick = 3; tick <= 130; ++tick) {
        const std::uint64_t calls = h.console.callCount();
        h.frame(16, {vkTab});
        if (h.console.callCount() != calls) {
            refreshed.push_back(tick);
        }
    }
    EXPECT_EQ(refreshed, (std::vector<int>{63, 126}));
    // The refresh writes what the panel's fields hold.
    EXPECT_EQ(h.screenRow(1).substr(panelLeft + 1, 9), " 12:00:02");
    EXPECT_EQ(h.screenRow(3).substr(panelLeft + 1, 9), "X:40 Y:12");
}

TEST(WorldTick, PanelFieldsFollowTheClockAndThePlayerEveryTick) {
    harness::GameHarness h;
    h.clock.setLocalTime({23, 59, 58});
    ASSERT_TRUE(startPlay(h));
    // What the panel shows when opened in a frame of no time, then closed again.
    auto shown = [&h] {
        h.frame(0, {vkTab});
        const std::string text =
            h.screenRow(1).substr(panelLeft + 1, 9) + "|" + h.screenRow(3).substr(panelLeft + 1, 9);
        h.frame(0);
        return text;
    };
    h.frame(16, {vkRight});
    EXPECT_EQ(shown(), " 23:59:58|X:41 Y:12");
    h.frame(1000);
    EXPECT_EQ(shown(), " 23:59:59|X:41 Y:12");
    // A refused move leaves the panel on the cell where the tick began.
    h.placePlayer(79, 5);
    h.frame(16, {vkRight});
    EXPECT_EQ(shown(), " 23:59:59|X:79 Y:05");
}

TEST(WorldTick, PlayResumesWhereItStoppedAfterTheMenu) {
    harness::GameHarness h;
    ASSERT_TRUE(startPlay(h));
    h.tap(vkRight);
    h.tap(vkDown);
    const double clock = h.clockSeconds();
    h.frame(16, {vkEscape});
    ASSERT_EQ(h.state(), GameState::Menu);
    h.frame(16);
    h.frame(60000); // a minute on the title screen
    ASSERT_TRUE(h.enterPlay());
    EXPECT_EQ(h.playerX(), 41);
    EXPECT_EQ(h.playerY(), 13);
    EXPECT_EQ(h.clockSeconds(), clock + 16 * secondsPerFrameMs);
    // The whole map and the player are drawn again.
    EXPECT_EQ(h.screen(0, 0).ch, '.');
    EXPECT_EQ(h.screen(41, 13).ch, 2);
    EXPECT_EQ(h.screen(40, 12).ch, '.');
}
