// What frames cost, counted rather than timed: console calls, cells written and allocations.
#include "GameHarness.h"
#include "support/AllocationCount.h"

#include <gtest/gtest.h>

using harness::gridFile;
using harness::rowWith;
using harness::startStem;
using harness::vkRight;
using harness::vkTab;

namespace {

// Allocations made between its construction and count().
class AllocationCounter {
public:
    AllocationCounter() : start_(testsupport::allocationCount()) {}
    std::uint64_t count() const { return testsupport::allocationCount() - start_; }

private:
    std::uint64_t start_;
};

using Screen = std::array<platform::Cell, platform::screenCellCount>;

// Cells of `after` that differ from `before` outside the rectangle [left, right) x [top, bottom).
int changedOutside(const Screen& before, const Screen& after, int left, int top, int right,
                   int bottom) {
    int changed = 0;
    for (int y = 0; y < screenHeight; ++y) {
        for (int x = 0; x < screenWidth; ++x) {
            const bool inside = x >= left && x < right && y >= top && y < bottom;
            const std::size_t i = static_cast<std::size_t>(y * screenWidth + x);
            if (!inside && !(before[i] == after[i])) {
                ++changed;
            }
        }
    }
    return changed;
}

} // namespace

TEST(Cost, AllocationCounterSeesAnAllocation) {
    AllocationCounter counter;
    auto* probe = new std::string(100, 'x');
    const std::uint64_t seen = counter.count();
    delete probe;
    EXPECT_GE(seen, 1u);
}

TEST(Cost, FramesWithoutInputCallNothingAndAllocateNothing) {
    harness::GameHarness h;
    h.dir.writeWorld(startStem, gridFile(), "a b 0");
    ASSERT_TRUE(h.start());

    // On the title screen.
    h.frame(16);
    std::uint64_t calls = h.console.callCount();
    {
        AllocationCounter counter;
        for (int i = 0; i < 100; ++i) {
            h.frame(16);
        }
        EXPECT_EQ(counter.count(), 0u);
    }
    EXPECT_EQ(h.console.callCount(), calls);

    // In play, across several refresh periods of the (hidden) panel, with the release of Enter
    // still pending and a long frame among them.
    ASSERT_TRUE(h.enterPlay());
    h.tap(vkRight);
    calls = h.console.callCount();
    {
        AllocationCounter counter;
        for (int i = 0; i < 250; ++i) {
            h.frame(16);
        }
        h.frame(5000);
        h.frame(0);
        EXPECT_EQ(counter.count(), 0u);
    }
    EXPECT_EQ(h.console.callCount(), calls);
}

TEST(Cost, HoldingAKeyAgainstAWallDrawsNothing) {
    harness::GameHarness h;
    std::vector<std::string> rows(screenHeight, std::string(screenWidth, '.'));
    rows[12][41] = '+';
    h.dir.writeWorld(startStem, gridFile(rows), "a b 0");
    ASSERT_TRUE(h.start());
    ASSERT_TRUE(h.enterPlay());
    const std::uint64_t calls = h.console.callCount();
    AllocationCounter counter;
    for (int i = 0; i < 60; ++i) {
        h.frame(16, {vkRight});
    }
    EXPECT_EQ(counter.count(), 0u);
    EXPECT_EQ(h.console.callCount(), calls);
    EXPECT_EQ(h.playerX(), 40);
}

// A walk over ground that changes at every step: no sentence is kept for a speech nobody
// switched on.
TEST(Cost, AWalkATravelAndADescribeWithSpeechOffAllocateNothing) {
    harness::GameHarness h;
    h.dir.writeConfig(std::string(harness::playConfig) + "cTravel = T\ncDescribe = D\n");
    std::vector<std::string> rows(screenHeight, std::string(screenWidth, '.'));
    for (std::size_t x = 41; x < rows[12].size(); x += 2) {
        rows[12][x] = ',';
    }
    rows[12][20] = '-';
    h.dir.writeWorld(startStem, gridFile(rows), "a b 1\nFar " + startStem + " 20 12 40 12");
    ASSERT_TRUE(h.start());
    ASSERT_TRUE(h.enterPlay());
    AllocationCounter counter;
    for (int i = 0; i < 300; ++i) {
        h.frame(16, {vkRight});
    }
    EXPECT_GT(h.playerX(), 60);
    // Travel back to the path: setting out plans the route, each step is a tap.
    h.frame(16, {'T'});
    for (int i = 0; i < 600; ++i) {
        h.frame(16);
    }
    h.frame(16, {'D'}); // nobody listens: describe does nothing
    h.frame(16);
    EXPECT_EQ(counter.count(), 0u);
    EXPECT_EQ(h.playerX(), 20);
}

TEST(Cost, PlayerStepWritesTwoCells) {
    harness::GameHarness h;
    std::vector<std::string> rows(screenHeight, std::string(screenWidth, '.'));
    rows[12] = rowWith(40, ',');
    h.dir.writeWorld(startStem, gridFile(rows), "a b 0");
    ASSERT_TRUE(h.start());
    ASSERT_TRUE(h.enterPlay());
    std::uint64_t writes = h.console.model().cellWrites();
    h.frame(16, {vkRight});
    EXPECT_EQ(h.console.model().cellWrites() - writes, 2u);
    EXPECT_EQ(h.screen(40, 12).ch, ',');
    EXPECT_EQ(h.screen(40, 12).attribute, 2);
    EXPECT_EQ(h.screen(41, 12).ch, 2);
    EXPECT_EQ(h.screen(41, 12).attribute, 15);
    // Holding on moves several cells in a long frame: still one cell left, one cell entered.
    writes = h.console.model().cellWrites();
    h.frame(500, {vkRight});
    EXPECT_EQ(h.playerX(), 45);
    EXPECT_EQ(h.console.model().cellWrites() - writes, 2u);
    EXPECT_EQ(h.screen(41, 12).ch, '.');
    EXPECT_EQ(h.screen(45, 12).ch, 2);
    // Letting go settles on the cell without drawing.
    writes = h.console.model().cellWrites();
    h.frame(16);
    EXPECT_EQ(h.console.model().cellWrites(), writes);
}

TEST(Cost, ClosingThePanelRestoresOnlyItsRectangle) {
    harness::GameHarness h;
    std::vector<std::string> rows;
    for (int y = 0; y < screenHeight; ++y) {
        std::string row;
        for (int x = 0; x < screenWidth; ++x) {
            row += ".,;|~"[(x * 7 + y * 3) % 5];
        }
        rows.push_back(row);
    }
    rows[12][40] = '.';
    h.dir.writeWorld(startStem, gridFile(rows), "a b 0");
    ASSERT_TRUE(h.start());
    ASSERT_TRUE(h.enterPlay());
    const Screen beforeOpen = h.console.model().cells();

    h.frame(16, {vkTab});
    ASSERT_EQ(h.panelShown(), 1);
    EXPECT_EQ(changedOutside(beforeOpen, h.console.model().cells(), panelLeft, 0, 80, 25), 0);
    // Held, the panel costs nothing until its refresh is due.
    std::uint64_t calls = h.console.callCount();
    for (int i = 0; i < 10; ++i) {
        h.frame(16, {vkTab});
    }
    EXPECT_EQ(h.console.callCount(), calls);
    // The refresh rewrites the time and the position lines, and nothing else.
    const Screen beforeRefresh = h.console.model().cells();
    std::uint64_t writes = h.console.model().cellWrites();
    h.frame(1000, {vkTab});
    EXPECT_GT(h.console.model().cellWrites(), writes);
    EXPECT_LE(h.console.model().cellWrites() - writes, 40u);
    const Screen afterRefresh = h.console.model().cells();
    int changed = 0;
    for (int y = 0; y < screenHeight; ++y) {
        for (int x = 0; x < screenWidth; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * screenWidth + x);
            if (!(beforeRefresh[i] == afterRefresh[i])) {
                ++changed;
                EXPECT_TRUE((y == 1 || y == 3) && x > panelLeft && x < 79) << x << "," << y;
            }
        }
    }
    EXPECT_GT(changed, 0); // at least the seconds moved on

    // Closing writes the 12 x 25 cells under the panel and the player's glyph (its cell, then
    // the glyph), nothing more.
    writes = h.console.model().cellWrites();
    h.frame(16);
    ASSERT_EQ(h.panelShown(), 0);
    EXPECT_EQ(h.console.model().cellWrites() - writes, 12u * 25u + 2u);
    EXPECT_TRUE(h.console.model().cells() == beforeOpen);
    EXPECT_TRUE(h.boxes().empty());
}

TEST(Cost, MessageBoxRestoreWritesOnlyItsRectangle) {
    harness::GameHarness h;
    std::vector<std::string> rows(screenHeight, std::string(screenWidth, ','));
    rows[12] = rowWith(41, '-', ',');
    h.dir.writeWorld(startStem, gridFile(rows), "a b 1\nGate elsewhere 41 12 1 1\n");
    ASSERT_TRUE(h.start());
    ASSERT_TRUE(h.enterPlay());
    const Screen beforeBox = h.console.model().cells();
    h.tap(vkRight);
    ASSERT_EQ(h.boxes().size(), 1u);
    const CellRect box = h.boxes().back();
    EXPECT_EQ(box, (CellRect{35, 19, 45, 24}));
    EXPECT_NE(h.screenRow(21).find("Gate"), std::string::npos);
    // The box and the player's step are all that changed.
    EXPECT_EQ(changedOutside(beforeBox, h.console.model().cells(), 35, 19, 45, 24), 2);

    const std::uint64_t writes = h.console.model().cellWrites();
    h.tap(harness::vkDown);
    EXPECT_EQ(h.console.model().cellWrites() - writes, 10u * 5u + 2u);
    for (int y = 0; y < screenHeight; ++y) {
        for (int x = 0; x < screenWidth; ++x) {
            if (x != h.playerX() || y != h.playerY()) {
                ASSERT_EQ(h.screen(x, y).ch, h.cell(x, y)) << x << "," << y;
            }
        }
    }
}
