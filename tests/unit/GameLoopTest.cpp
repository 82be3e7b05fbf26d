// The frame loop: the console set up by the game, the first title screen before any key is read,
// leaving play, quitting and the farewell screen, and when the loop rests between frames.
#include "GameHarness.h"

#include "app/FrameRest.h"
#include "world/DayClock.h"

#include "Replay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>

using harness::gridFile;
using harness::startStem;
using harness::vkEscape;

namespace {

bool startGame(harness::GameHarness& h) {
    h.dir.writeWorld(startStem, gridFile(), "a b 0");
    return h.start();
}

} // namespace

TEST(GameLoop, GameSetsTheConsoleUpOnceAndHidesTheCursor) {
    harness::GameHarness h;
    ASSERT_TRUE(startGame(h));
    EXPECT_EQ(h.console.setUpCount(), 1);
    EXPECT_FALSE(h.console.model().cursorVisible());
}

TEST(GameLoop, TitleScreenIsDrawnBeforeAnyKeyIsRead) {
    harness::GameHarness h;
    ASSERT_TRUE(startGame(h));
    EXPECT_EQ(h.keyboard.sampleCount(), 0);
    EXPECT_EQ(h.state(), GameState::Menu);
    EXPECT_TRUE(h.screenContains("New Game"));
    EXPECT_TRUE(h.screenContains("Exit"));
    h.frame(16);
    EXPECT_EQ(h.keyboard.sampleCount(), 1);
}

TEST(GameLoop, EscapeInPlayShowsTheTitleInTheSameFrameAndDoesNotQuit) {
    harness::GameHarness h;
    ASSERT_TRUE(startGame(h));
    ASSERT_TRUE(h.enterPlay());
    EXPECT_FALSE(h.screenContains("New Game"));
    h.frame(16, {vkEscape});
    EXPECT_EQ(h.state(), GameState::Menu);
    EXPECT_TRUE(h.screenContains("New Game"));
    h.frame(16, {vkEscape}); // still the same press
    h.frame(16);
    EXPECT_EQ(h.state(), GameState::Menu);
    EXPECT_TRUE(h.game->running());
}

TEST(GameLoop, EscapeInTheMenuQuitsWithTheFarewellOnTwoFrames) {
    harness::GameHarness h;
    ASSERT_TRUE(startGame(h));
    h.frame(16, {vkEscape});
    EXPECT_EQ(h.state(), GameState::Quit);
    EXPECT_TRUE(h.game->running());
    const std::uint64_t writes = h.console.model().cellWrites();
    h.frame(16);
    EXPECT_FALSE(h.game->running());
    EXPECT_GT(h.console.model().cellWrites(), writes); // drawn again on the last frame
    const std::string line = farewellLine;
    EXPECT_EQ(h.screenRow(0).substr(0, line.size()), line);
    for (int x = 0; x < static_cast<int>(line.size()); ++x) {
        EXPECT_EQ(h.screen(x, 0).attribute, 15);
    }
    for (int y = 1; y < screenHeight; ++y) {
        EXPECT_EQ(h.screenRow(y), std::string(80, ' ')) << "row " << y;
    }
    EXPECT_FALSE(h.console.model().cursorVisible());
}

// What a smaller view must keep in sight, as the game tells the console each frame, names what
// the screen shows: the title's text down to the menu, the player's glyph, the panel's frame, the
// farewell line.
TEST(GameLoop, TheFocusNamesWhatEachFrameShows) {
    harness::GameHarness h;
    ASSERT_TRUE(startGame(h));
    const platform::Focus& focus = h.console.focus();
    EXPECT_FALSE(focus.hasPlayer);
    EXPECT_EQ(focus.boxCount, 0u);
    // The title's lines are exactly the cells the title screen drew on, down to "Exit".
    platform::Area drawn{platform::screenWidth, platform::screenHeight, 0, 0};
    for (int y = 0; y < platform::screenHeight; ++y) {
        for (int x = 0; x < platform::screenWidth; ++x) {
            if (h.screen(x, y).ch != ' ' && h.screen(x, y).ch != 0) {
                drawn.x = std::min(drawn.x, x);
                drawn.y = std::min(drawn.y, y);
                drawn.width = std::max(drawn.width, x + 1);
                drawn.height = std::max(drawn.height, y + 1);
            }
        }
    }
    EXPECT_EQ(focus.lines,
              (platform::Area{drawn.x, drawn.y, drawn.width - drawn.x, drawn.height - drawn.y}));
    EXPECT_NE(h.screenRow(drawn.height - 1).find("Exit"), std::string::npos);
    h.tap(platform::vk::f1);
    ASSERT_EQ(focus.boxCount, 1u);
    const platform::Area help = focus.boxes[0];
    EXPECT_EQ(h.screen(help.x, help.y).ch, 0xDA);
    EXPECT_EQ(h.screen(help.x + help.width - 1, help.y + help.height - 1).ch, 0xD9);
    h.tap(platform::vk::f1);
    EXPECT_EQ(focus.boxCount, 0u);
    ASSERT_TRUE(h.enterPlay());
    ASSERT_TRUE(focus.hasPlayer);
    EXPECT_EQ(focus.playerX, h.playerX());
    EXPECT_EQ(focus.playerY, h.playerY());
    EXPECT_EQ(h.screen(focus.playerX, focus.playerY).ch, 2);
    h.frame(16, {harness::vkTab});
    ASSERT_EQ(focus.boxCount, 1u);
    const platform::Area panel = focus.boxes[0];
    EXPECT_EQ(panel, (platform::Area{68, 0, 12, 25}));
    EXPECT_EQ(h.screen(panel.x, panel.y).ch, 0xC9);
    EXPECT_EQ(h.screen(panel.x + panel.width - 1, panel.y + panel.height - 1).ch, 0xBC);
    h.frame(16);
    EXPECT_EQ(focus.boxCount, 0u);
    h.frame(16, {vkEscape});
    h.frame(16);
    h.frame(16, {vkEscape});
    EXPECT_EQ(h.state(), GameState::Quit);
    EXPECT_EQ(focus.lines, (platform::Area{0, 0, static_cast<int>(std::strlen(farewellLine)), 1}));
    EXPECT_FALSE(focus.hasPlayer);
}

TEST(GameLoop, AFailedStartsFocusIsItsMessage) {
    harness::GameHarness h;
    ASSERT_FALSE(h.start());
    const platform::Focus& focus = h.console.focus();
    const std::string message = h.screenRow(1).substr(0, h.screenRow(1).find_last_not_of(' ') + 1);
    ASSERT_NE(message.find("missing"), std::string::npos);
    EXPECT_EQ(focus.lines, (platform::Area{0, 1, static_cast<int>(message.size()), 1}));
    EXPECT_EQ(focus.boxCount, 0u);
}

TEST(GameLoop, RunReturnsZeroAfterAQuit) {
    harness::GameHarness h;
    ASSERT_TRUE(startGame(h));
    h.keyboard.setDown(vkEscape, true);
    EXPECT_EQ(h.game->run(), 0);
    EXPECT_EQ(h.state(), GameState::Quit);

    harness::ScratchDir dir;
    dir.writeConfig(harness::playConfig);
    dir.writeWorld(startStem, gridFile(), "a b 0");
    std::istringstream script("frame 16 ESC\nframe 16\nframes 5 16\n");
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(replay::replayMain({"--dir", dir.path().string()}, script, out, err), 0);
}

TEST(GameLoop, RestsUntilAKeyOrTheDayClocksMidnight) {
    harness::GameHarness h;
    h.clock.setLocalTime({23, 59, 59});
    ASSERT_TRUE(startGame(h));
    EXPECT_EQ(h.game->inputWaitMs(), -1);
    h.frame(16, {harness::vkTab});
    EXPECT_EQ(h.game->inputWaitMs(), busyFrameMs);
    h.frame(16); // the release is a change too
    EXPECT_EQ(h.game->inputWaitMs(), busyFrameMs);
    h.frame(16);
    EXPECT_EQ(h.game->inputWaitMs(), -1);
    // A timer of the keyboard's keeps frames coming, no further apart than its time.
    EXPECT_EQ(frameWaitMs(true, 1, -1), 1);
    EXPECT_EQ(frameWaitMs(true, 500, 9000), busyFrameMs);
    // Rests of clocks set by hand: a second, an hour and more, a clock stopped or past the day.
    EXPECT_EQ(msUntilMidnight(DayClock(secondsPerDay - 1.0)), 1000);
    EXPECT_EQ(msUntilMidnight(DayClock(secondsPerDay - 3600.0)), longestRestMs);
    EXPECT_EQ(msUntilMidnight(DayClock(secondsPerDay - 1.0, 0.0)), -1);
    EXPECT_EQ(msUntilMidnight(DayClock(secondsPerDay + 1.0)), -1);

    ASSERT_TRUE(h.enterPlay());
    h.frame(16);
    // Less than a second before midnight the rest ends on the first millisecond past it, which
    // brings the clock to 0 as short frames would; then it rests for a day.
    const double left = secondsPerDay - h.clockSeconds();
    ASSERT_LT(left, 1.0);
    const std::int64_t rest = h.game->inputWaitMs();
    EXPECT_NEAR(static_cast<double>(rest), left * 1000.0, 1.0);
    h.frame(rest - 1);
    EXPECT_GT(h.clockSeconds(), secondsPerDay - 0.01);
    h.frame(1);
    EXPECT_EQ(h.clockSeconds(), 0.0);
    EXPECT_EQ(h.game->inputWaitMs(), longestRestMs);
}

// Travel's steps are changes of the game's own: the loop rests until the next one is due, and
// a frame of exactly that rest takes it.
TEST(GameLoop, WhileTravellingItRestsUntilTheNextStep) {
    harness::GameHarness h;
    h.dir.writeConfig(std::string(harness::playConfig) + "cTravel = T\n");
    std::vector<std::string> rows(screenHeight, std::string(screenWidth, '.'));
    rows[12][43] = '-';
    h.dir.writeWorld(startStem, gridFile(rows), "a b 1\nFar " + startStem + " 43 12 40 12");
    ASSERT_TRUE(h.start());
    ASSERT_TRUE(h.enterPlay());
    h.frame(16, {'T'});
    EXPECT_EQ(h.playerX(), 41);
    h.frame(16);
    h.frame(16);
    const std::int64_t rest = h.game->inputWaitMs();
    EXPECT_NEAR(static_cast<double>(rest), 125.0 - 32.0, 1.0);
    h.frame(rest - 1);
    EXPECT_EQ(h.playerX(), 41);
    h.frame(1);
    EXPECT_EQ(h.playerX(), 42);
    h.frame(125);
    EXPECT_EQ(h.playerX(), 43);
    EXPECT_EQ(h.game->inputWaitMs(), longestRestMs);
}
