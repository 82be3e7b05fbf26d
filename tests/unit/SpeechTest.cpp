// What the game says stays beside the game: the describe key, pressed in play with speech on,
// says the surroundings and changes nothing the game shows or keeps.
#include "app/HeadlessGame.h"
#include "platform/VirtualKeys.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::filesystem::path dataDir = std::filesystem::path(THARVOK_SOURCE_DIR) / "data";

TEST(Speech, DescribeChangesNothingInTheGameOrOnTheScreen) {
    HeadlessGame plain(dataDir);
    HeadlessGame describing(dataDir);
    ASSERT_TRUE(plain.start(true));
    ASSERT_TRUE(describing.start(true));
    const int enter = platform::vk::enter;
    const int left = platform::vk::left;
    for (HeadlessGame* game : {&plain, &describing}) {
        game->frame(16, {enter});
        game->frame(16);
        game->game().speech().take();
    }
    // The same walk, with D held in one of them frame after frame.
    for (int frame = 0; frame < 60; ++frame) {
        plain.frame(16, {left});
        describing.frame(16, {left, 'D'});
        ASSERT_EQ(plain.virtualConsole()->model().cells(),
                  describing.virtualConsole()->model().cells());
        ASSERT_EQ(plain.game().playerCell(), describing.game().playerCell());
        ASSERT_EQ(plain.game().clockSeconds(), describing.game().clockSeconds());
        ASSERT_EQ(plain.game().state(), describing.game().state());
    }
    const auto said = describing.game().speech().take();
    EXPECT_GT(said.size(), plain.game().speech().take().size() + 10);
}

} // namespace
