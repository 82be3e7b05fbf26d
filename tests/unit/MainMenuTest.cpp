// The item under the menu's marker, frame by frame: across the wrap, and between two items after
// a long frame with a move key held, until a wrap puts it back on the first.
#include "GameHarness.h"

#include "menu/MainMenu.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

TEST(MainMenu, ReportsTheItemUnderTheMarkerAndWhenItMoved) {
    Controls controls = harness::controlsFrom("cMoveUp = w\ncMoveDown = s\n");
    MainMenu menu;
    constexpr std::nullopt_t between = std::nullopt;
    // The key down, the frame's seconds, the item under the marker, whether the marker moved.
    const std::tuple<int, double, std::optional<std::size_t>, bool> frames[] = {
        {'W', 0.016, 4, true},      {'S', 0.016, 0, true},       {'S', 0.39, between, true},
        {0, 0.016, between, false}, {'S', 0.016, between, true}, {'S', 0.6, 0, true},
    };
    for (const auto& [key, seconds, item, moved] : frames) {
        FrameInput input;
        input.addKey(key);
        bool changed = false;
        controls.apply(input, changed);
        menu.startFrame();
        EXPECT_EQ(menu.update(controls, seconds), GameState::Menu);
        EXPECT_EQ(menu.item(), item);
        EXPECT_EQ(menu.events().size(), moved ? 1u : 0u);
    }
}

// A move and a choice in one frame: the marker moves onto "Load Game", whose choice does nothing
// yet, and the title screen shows it there.
TEST(MainMenu, AMoveAndAChoiceInOneFrameBothShow) {
    harness::GameHarness h;
    h.dir.writeWorld(harness::startStem, harness::gridFile(), "a b 0");
    ASSERT_TRUE(h.start());
    h.frame(16, {harness::vkDown, harness::vkEnter});
    EXPECT_EQ(h.state(), GameState::Menu);
    EXPECT_EQ(h.screenRow(menuFirstRow).find('>'), std::string::npos);
    EXPECT_NE(h.screenRow(menuFirstRow + 2).find("> Load Game"), std::string::npos);
}
