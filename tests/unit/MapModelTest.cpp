// What the cells of a world mean in play: blocking, link cells, captions, following links, and
// the bookkeeping of the boxes drawn over the map.
#include "GameHarness.h"

#include <gtest/gtest.h>

using harness::gridCells;
using harness::gridFile;
using harness::rowWith;
using harness::startStem;
using harness::vkDown;
using harness::vkLeft;
using harness::vkRight;
using harness::vkTab;
using harness::vkUp;
using harness::vkUse;

namespace {

constexpr std::string_view otherStem = "a1b2c3d4e5f60718293a4b5c6d7e8f90";

// Writes the start world and enters play with the player on (40, 12).
bool startPlay(harness::GameHarness& h, const std::vector<std::string>& rows,
               std::string_view info) {
    h.dir.writeWorld(startStem, gridFile(rows), info);
    return h.start() && h.enterPlay();
}

// A second world, all commas, so that its arrival shows.
void writeOtherWorld(const harness::GameHarness& h, std::string_view info = "World two 0") {
    h.dir.writeWorld(otherStem, gridFile({}, ','), info);
}

std::vector<std::string> rowsWithRow12(const std::string& row12) {
    std::vector<std::string> rows(screenHeight, std::string(screenWidth, '.'));
    rows[12] = row12;
    return rows;
}

std::string link(std::string_view caption, std::string_view target, int x, int y, int tx, int ty) {
    return std::string(caption) + " " + std::string(target) + " " + std::to_string(x) + " " +
           std::to_string(y) + " " + std::to_string(tx) + " " + std::to_string(ty) + "\n";
}

bool isInBlockingSet(int b) { return b == ';' || b == '0' || b == '~' || b == '+' || b == ' '; }

} // namespace

TEST(MapModel, ExactlyFiveCharactersBlock) {
    for (int b = 0; b < 256; ++b) {
        WorldLoad load;
        load.cells.fill('.');
        load.cells[5 * screenWidth + 7] = static_cast<std::uint8_t>(b);
        WorldMap map;
        map.take(std::move(load));
        EXPECT_EQ(map.isBlocking(MapCell{7, 5}), isInBlockingSet(b)) << "byte " << b;
    }
}

TEST(MapModel, BlockingCellsRefuseTheMoveAndByteZeroDoesNot) {
    harness::GameHarness h;
    std::vector<std::string> rows(screenHeight, std::string(screenWidth, '.'));
    rows[11][40] = '~';
    rows[13][40] = '+';
    rows[12][41] = ' ';
    rows[12][39] = '\0';
    ASSERT_TRUE(startPlay(h, rows, "a b 0"));
    const std::uint64_t writes = h.console.model().cellWrites();
    for (const int key : {vkRight, vkUp, vkDown}) {
        h.frame(16, {key});
        EXPECT_EQ(h.playerX(), 40);
        EXPECT_EQ(h.playerY(), 12);
        h.frame(16);
    }
    EXPECT_EQ(h.console.model().cellWrites(), writes); // a refused move draws nothing
    h.tap(vkLeft);
    EXPECT_EQ(h.playerX(), 39);
    EXPECT_EQ(h.screen(39, 12).ch, 2);
    // A diagonal step whose horizontal part is free but whose destination blocks is refused
    // as a whole.
    h.frame(16, {vkUp, vkRight});
    EXPECT_EQ(h.playerX(), 39);
    EXPECT_EQ(h.playerY(), 12);
    h.frame(16);
    // A free diagonal step is taken at once.
    h.frame(16, {vkDown, vkLeft});
    EXPECT_EQ(h.playerX(), 38);
    EXPECT_EQ(h.playerY(), 13);
}

TEST(MapModel, EdgesOfTheGridStopThePlayer) {
    harness::GameHarness h;
    ASSERT_TRUE(startPlay(h, {}, "a b 0"));
    h.placePlayer(0, 0);
    // A tap left at column 0 reaches -1.0, still cell 0; holding on leaves the grid and is refused.
    h.frame(16, {vkLeft});
    EXPECT_EQ(h.playerX(), 0);
    h.frame(100, {vkLeft});
    EXPECT_EQ(h.playerX(), 0);
    h.frame(16);
    h.frame(16, {vkUp});
    h.frame(100, {vkUp});
    EXPECT_EQ(h.playerY(), 0);
    h.frame(16);
    h.placePlayer(79, 24);
    h.frame(16, {vkRight});
    EXPECT_EQ(h.playerX(), 79);
    h.frame(16);
    h.frame(16, {vkDown});
    EXPECT_EQ(h.playerY(), 24);
    h.frame(16);
    h.tap(vkLeft);
    EXPECT_EQ(h.playerX(), 78);
}

TEST(MapModel, OnlyTheFirstOfTwoLinksOnACellIsShownAndFollowed) {
    harness::GameHarness h;
    writeOtherWorld(h);
    ASSERT_TRUE(startPlay(h, rowsWithRow12(rowWith(41, '-')),
                          "a b 2\n" + link("First", otherStem, 41, 12, 3, 4) +
                              link("Second", startStem, 41, 12, 1, 1)));
    ASSERT_NE(h.map().captionAt(MapCell{41, 12}), nullptr);
    EXPECT_EQ(*h.map().captionAt(MapCell{41, 12}), "First");
    EXPECT_EQ(h.map().captionAt(MapCell{42, 12}), nullptr);
    h.tap(vkRight);
    EXPECT_NE(h.screenRow(21).find("First"), std::string::npos);
    EXPECT_FALSE(h.screenContains("Second"));
    h.tap(vkUse);
    EXPECT_EQ(h.worldName(), "World two");
    EXPECT_EQ(h.playerX(), 3);
    EXPECT_EQ(h.playerY(), 4);
    EXPECT_EQ(h.cells(), gridCells({}, ','));
}

TEST(MapModel, LinkOnACellOtherThanADashDoesNothing) {
    harness::GameHarness h;
    writeOtherWorld(h);
    ASSERT_TRUE(startPlay(h, {}, "a b 1\n" + link("Ghost", otherStem, 41, 12, 3, 4)));
    const std::vector<std::uint8_t> before = h.cells();
    h.tap(vkRight);
    EXPECT_EQ(h.playerX(), 41);
    EXPECT_TRUE(h.boxes().empty());
    EXPECT_FALSE(h.screenContains("Ghost"));
    h.tap(vkUse);
    h.use();
    EXPECT_EQ(h.playerX(), 41);
    EXPECT_EQ(h.playerY(), 12);
    EXPECT_TRUE(h.worldName().starts_with("a ")) << h.worldName();
    EXPECT_EQ(h.cells(), before);
}

TEST(MapModel, DashWithoutALinkShowsNothingAndRestoresNothing) {
    harness::GameHarness h;
    std::string row = rowWith(41, '-');
    row[42] = '-';
    ASSERT_TRUE(
        startPlay(h, rowsWithRow12(row), "a b 1\n" + link("Gate", startStem, 41, 12, 1, 1)));
    h.tap(vkRight);
    ASSERT_EQ(h.boxes().size(), 1u);
    const std::uint64_t writes = h.console.model().cellWrites();
    h.tap(vkRight); // onto the "-" that has no link
    EXPECT_EQ(h.playerX(), 42);
    EXPECT_EQ(h.boxes().size(), 1u);
    EXPECT_NE(h.screenRow(21).find("Gate"), std::string::npos); // the box stays
    EXPECT_EQ(h.console.model().cellWrites() - writes, 2u);     // only the player's step
    h.tap(vkUse);
    EXPECT_EQ(h.playerX(), 42);
    EXPECT_TRUE(h.worldName().starts_with("a ")) << h.worldName();
    h.tap(vkRight); // an ordinary cell restores the box
    EXPECT_TRUE(h.boxes().empty());
    EXPECT_FALSE(h.screenContains("Gate"));
}

TEST(MapModel, CaptionsLongerThan74AreCut) {
    harness::GameHarness h;
    std::string caption;
    for (int i = 0; i < 90; ++i) {
        caption += static_cast<char>('a' + i % 26);
    }
    std::string row = rowWith(41, '-');
    row[42] = '-';
    ASSERT_TRUE(startPlay(h, rowsWithRow12(row),
                          "a b 2\n" + link(caption, startStem, 41, 12, 1, 1) +
                              link(caption.substr(0, 77), startStem, 42, 12, 1, 1)));
    for (int step = 0; step < 2; ++step) {
        SCOPED_TRACE(step);
        h.tap(vkRight);
        ASSERT_EQ(h.boxes().size(), static_cast<std::size_t>(step + 1));
        // The box spans the whole width; the player's row 12 is clear of it.
        EXPECT_EQ(h.boxes().back(), (CellRect{0, 19, 80, 24}));
        EXPECT_EQ(h.screenRow(21), "\xB3  " + caption.substr(0, 74) + "  \xB3");
        EXPECT_EQ(h.screenRow(19).substr(0, 2), "\xDA\xC4");
        EXPECT_EQ(h.screenRow(23).substr(78, 2), "\xC4\xD9");
    }
}

TEST(MapModel, BoxesAreRestoredNewestFirst) {
    harness::GameHarness h;
    std::string row = rowWith(41, '-');
    row[42] = '-';
    ASSERT_TRUE(startPlay(h, rowsWithRow12(row),
                          "a b 2\n" + link("Gate", startStem, 41, 12, 1, 1) +
                              link("Doorway", startStem, 42, 12, 1, 1)));
    h.tap(vkRight);
    h.tap(vkRight);
    const CellRect gate{35, 19, 45, 24};
    const CellRect doorway{33, 19, 46, 24};
    ASSERT_EQ(h.boxes().size(), 2u);
    EXPECT_EQ(h.boxes().front(), gate);
    EXPECT_EQ(h.boxes().back(), doorway);
    // Standing still on a link cell shows nothing more.
    h.frame(500);
    EXPECT_EQ(h.boxes().size(), 2u);
    h.tap(vkDown);
    ASSERT_EQ(h.boxes().size(), 1u);
    EXPECT_EQ(h.boxes().back(), gate);
    h.tap(vkDown);
    EXPECT_TRUE(h.boxes().empty());
    h.tap(vkDown);
    h.tap(vkDown);
    for (int y = 0; y < screenHeight; ++y) {
        for (int x = 0; x < screenWidth; ++x) {
            if (x != h.playerX() || y != h.playerY()) {
                ASSERT_EQ(h.screen(x, y).ch, h.cell(x, y)) << x << "," << y;
            }
        }
    }
}

TEST(MapModel, FollowingALinkLoadsTheTargetWorld) {
    harness::GameHarness h;
    writeOtherWorld(h, "World two 1\n" + link("Back", std::string(startStem), 3, 4, 41, 12));
    ASSERT_TRUE(startPlay(h, rowsWithRow12(rowWith(41, '-')),
                          "a b 1\n" + link("Away", otherStem, 41, 12, 3, 4)));
    h.tap(vkRight);
    h.frame(16, {vkUse});
    EXPECT_EQ(h.worldName(), "World two");
    ASSERT_EQ(h.map().links().size(), 1u);
    EXPECT_EQ(h.map().links()[0].caption, "Back");
    EXPECT_EQ(h.cells(), gridCells({}, ','));
    EXPECT_EQ(h.playerX(), 3);
    EXPECT_EQ(h.playerY(), 4);
    EXPECT_EQ(h.screen(0, 0).ch, ',');
    EXPECT_EQ(h.screen(41, 12).ch, ',');
    EXPECT_EQ(h.screen(3, 4).ch, 2);
}

TEST(MapModel, HoldingUseFollowsALinkOnce) {
    harness::GameHarness h;
    // A link to the same world whose arrival is the link cell itself.
    ASSERT_TRUE(startPlay(h, rowsWithRow12(rowWith(41, '-')),
                          "a b 1\n" + link("Loop", startStem, 41, 12, 41, 12)));
    h.tap(vkRight);
    h.frame(16, {vkUse});
    EXPECT_EQ(h.cell(0, 0), '.');
    std::vector<std::string> changed = rowsWithRow12(rowWith(41, '-'));
    changed[0] = "Z";
    h.dir.writeGrid(startStem, gridFile(changed)); // a reload would bring the Z
    h.frame(16, {vkUse});
    h.frame(16, {vkUse});
    EXPECT_EQ(h.cell(0, 0), '.');
    h.frame(16);
    h.frame(16, {vkUse});
    EXPECT_EQ(h.cell(0, 0), 'Z');
}

TEST(MapModel, AJumpLeavesNoBoxToRestore) {
    harness::GameHarness h;
    std::vector<std::string> other(screenHeight, std::string(screenWidth, ','));
    other[4] = rowWith(4, '-', ',');
    h.dir.writeWorld(otherStem, gridFile(other),
                     "World two 1\n" + link("Well", otherStem, 4, 4, 1, 1));
    ASSERT_TRUE(startPlay(h, rowsWithRow12(rowWith(41, '-')),
                          "a b 1\n" + link("Away", otherStem, 41, 12, 3, 4)));
    h.tap(vkRight);
    ASSERT_EQ(h.boxes().size(), 1u);
    h.tap(vkUse);
    // The jump's full redraw covered the box: nothing is left to restore.
    EXPECT_TRUE(h.boxes().empty());
    h.tap(vkDown); // an ordinary cell: nothing to restore
    h.tap(vkUp);
    h.tap(vkRight); // onto the well: its box is the only one
    ASSERT_EQ(h.playerX(), 4);
    ASSERT_EQ(h.boxes().size(), 1u);
    const CellRect well = h.boxes().back();
    h.tap(vkDown);
    EXPECT_TRUE(h.boxes().empty());
    for (int y = well.top; y < well.bottom; ++y) {
        for (int x = well.left; x < well.right; ++x) {
            EXPECT_EQ(h.screen(x, y).ch, ',') << x << "," << y;
        }
    }
}

TEST(MapModel, LinkToTheSameWorldReadsItsFilesAgain) {
    harness::GameHarness h;
    ASSERT_TRUE(startPlay(h, rowsWithRow12(rowWith(41, '-')),
                          "a b 1\n" + link("Again", startStem, 41, 12, 10, 10)));
    h.tap(vkRight);
    std::vector<std::string> changed = rowsWithRow12(rowWith(41, '-'));
    changed[0] = "Z";
    h.dir.writeGrid(startStem, gridFile(changed));
    h.dir.writeInfo(startStem, "Changed words 1\n" + link("Again", startStem, 41, 12, 10, 10));
    h.use();
    EXPECT_EQ(h.cell(0, 0), 'Z');
    EXPECT_EQ(h.screen(0, 0).ch, 'Z');
    EXPECT_TRUE(h.worldName().starts_with("Changed ")) << h.worldName();
    EXPECT_EQ(h.playerX(), 10);
    EXPECT_EQ(h.playerY(), 10);
}

TEST(MapModel, FailedJumpChangesNothingAndSaysWhichFileIsMissing) {
    const std::string stem114(114, 'r'); // a path of 128 characters
    struct Case {
        std::string target;
        bool grid; // the target's files exist as these say
        bool info;
        std::string message;
    };
    const std::string& dir = harness::worldDir;
    const std::vector<Case> cases = {
        {"nowhere", false, true, dir + "nowhere.wgf missing or corrupt!"},
        {"half", true, false, dir + "half.wif missing or corrupt!"},
        {"sub/inner", true, true, dir + "sub/inner.wgf missing or corrupt!"},
        {"..\\inner", true, true, dir + "..\\inner.wgf missing or corrupt!"},
        {stem114, true, true, (dir + stem114).substr(0, maxCaptionLength)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        harness::GameHarness h;
        if (c.grid) {
            h.dir.writeGrid(c.target, gridFile({}, ','));
        }
        if (c.info) {
            h.dir.writeInfo(c.target, "Other place 0");
        }
        ASSERT_TRUE(startPlay(h, rowsWithRow12(rowWith(41, '-')),
                              "Home land 1\n" + link("Void", c.target, 41, 12, 5, 6)));
        h.tap(vkRight);
        const std::vector<std::uint8_t> before = h.cells();
        ASSERT_TRUE(h.screenContains("Void"));
        // Pressed twice: each message takes the place of the box before it.
        for (int press = 0; press < 2; ++press) {
            h.tap(vkUse);
            EXPECT_EQ(h.cells(), before);
            EXPECT_TRUE(h.worldName().starts_with("Home ")) << h.worldName();
            ASSERT_EQ(h.map().links().size(), 1u);
            EXPECT_EQ(h.map().links()[0].target, c.target);
            EXPECT_EQ(h.playerX(), 41);
            EXPECT_EQ(h.playerY(), 12);
            EXPECT_EQ(h.boxes().size(), 1u);
            EXPECT_FALSE(h.screenContains("Void"));
            EXPECT_TRUE(h.screenContains(c.message)) << h.screenRow(21);
        }
        // The next step restores the map under the message.
        h.tap(vkLeft);
        EXPECT_TRUE(h.boxes().empty());
        EXPECT_FALSE(h.screenContains("missing"));
    }
}

TEST(MapModel, GridOf24RowsKeepsTheLastRowOfThePreviousWorld) {
    std::vector<std::string> rows(screenHeight, std::string(screenWidth, 'A'));
    rows[12] = rowWith(41, '-', 'A');
    rows[24] = std::string(screenWidth, 'Z');
    const std::string rows24 = gridFile({}, 'B').substr(0, 81 * 24);
    for (const std::string& grid : {rows24, rows24.substr(0, rows24.size() - 1)}) {
        SCOPED_TRACE(grid.size());
        harness::GameHarness h;
        h.dir.writeWorld("short", grid, "b c 0");
        ASSERT_TRUE(startPlay(h, rows, "a b 1\n" + link("Go", "short", 41, 12, 1, 1)));
        h.placePlayer(41, 12);
        h.use();
        std::vector<std::uint8_t> expected = gridCells({}, 'B');
        std::fill(expected.begin() + 24 * 80, expected.end(), 'Z');
        EXPECT_EQ(h.cells(), expected);
        EXPECT_TRUE(h.worldName().starts_with("b ")) << h.worldName();
    }
}

TEST(MapModel, EmptyTargetGridKeepsTheCellsButReadsTheLinks) {
    harness::GameHarness h;
    h.dir.writeWorld("blank", "", "Blank world 1 x y 1 2 3 4");
    ASSERT_TRUE(startPlay(h, rowsWithRow12(rowWith(41, '-')),
                          "a b 1\n" + link("Go", "blank", 41, 12, 1, 1)));
    const std::vector<std::uint8_t> before = h.cells();
    h.placePlayer(41, 12);
    h.use();
    EXPECT_EQ(h.cells(), before);
    EXPECT_TRUE(h.worldName().starts_with("Blank ")) << h.worldName();
    ASSERT_EQ(h.map().links().size(), 1u);
    EXPECT_EQ(h.map().links()[0].caption, "x");
}

TEST(MapModel, ArrivalOutsideTheGridLandsOnTheNearestCellInside) {
    harness::GameHarness h;
    std::string row = rowWith(41, '-');
    row[42] = '-';
    row[43] = '-';
    ASSERT_TRUE(startPlay(h, rowsWithRow12(row),
                          "a b 3\n" + link("Far", startStem, 41, 12, 200, 30) +
                              link("East", startStem, 42, 12, 80, 3) +
                              link("South", startStem, 43, 12, 7, 25)));
    const std::vector<std::pair<int, int>> arrivals = {{79, 24}, {79, 3}, {7, 24}};
    for (int i = 0; i < 3; ++i) {
        h.placePlayer(41 + i, 12);
        h.use();
        EXPECT_EQ(h.playerX(), arrivals[i].first) << i;
        EXPECT_EQ(h.playerY(), arrivals[i].second) << i;
        EXPECT_EQ(h.playerX(), arrivals[i].first) << i;
        EXPECT_EQ(h.playerY(), arrivals[i].second) << i;
        h.frame(16);
        EXPECT_EQ(h.screen(arrivals[i].first, arrivals[i].second).ch, 2) << i;
    }
    // From the corner the player moves on normally.
    h.placePlayer(41, 12);
    h.use();
    h.frame(16);
    h.tap(vkLeft);
    EXPECT_EQ(h.playerX(), 78);
    h.tap(vkUp);
    EXPECT_EQ(h.playerY(), 23);
}

TEST(MapModel, ArrivalOnABlockingCellIsAllowedButCannotBeReentered) {
    harness::GameHarness h;
    std::vector<std::string> rows = rowsWithRow12(rowWith(41, '-'));
    rows[10][10] = '+';
    ASSERT_TRUE(startPlay(h, rows, "a b 1\n" + link("Wall", startStem, 41, 12, 10, 10)));
    h.placePlayer(41, 12);
    h.use();
    EXPECT_EQ(h.playerX(), 10);
    EXPECT_EQ(h.playerY(), 10);
    h.frame(16);
    h.tap(vkRight);
    EXPECT_EQ(h.playerX(), 11);
    h.tap(vkLeft);
    EXPECT_EQ(h.playerX(), 11);
}

TEST(MapModel, UseDoesNothingWhileThePanelIsShown) {
    harness::GameHarness h;
    writeOtherWorld(h);
    ASSERT_TRUE(startPlay(h, rowsWithRow12(rowWith(41, '-')),
                          "a b 1\n" + link("Away", otherStem, 41, 12, 3, 4)));
    h.tap(vkRight);
    h.frame(16, {vkTab});
    ASSERT_EQ(h.panelShown(), 1);
    h.frame(16, {vkTab, vkUse});
    h.use();
    EXPECT_TRUE(h.worldName().starts_with("a ")) << h.worldName();
    EXPECT_EQ(h.playerX(), 41);
    // With the panel closed the same cell works.
    h.frame(16);
    h.frame(16, {vkUse});
    EXPECT_TRUE(h.worldName().starts_with("World ")) << h.worldName();
}

TEST(MapModel, TheLongestAllowedTargetPathIsOpened) {
    const std::string stem113(113, 's'); // a path of 127 characters
    harness::GameHarness h;
    h.dir.writeWorld(stem113, gridFile({}, ','), "Other place 0");
    ASSERT_TRUE(startPlay(h, rowsWithRow12(rowWith(41, '-')),
                          "Home land 1\n" + link("Long", stem113, 41, 12, 5, 6)));
    h.placePlayer(41, 12);
    h.use();
    EXPECT_TRUE(h.worldName().starts_with("Other ")) << h.worldName();
    EXPECT_EQ(h.cells(), gridCells({}, ','));
}

TEST(MapModel, TargetWithANulByteNamesNoFile) {
    // Opened, such a name would be cut at the NUL and read another file than the one it names.
    std::string path;
    EXPECT_FALSE(worldFilePath(std::string_view("inner\0.wgf", 10), ".wgf", path));
    EXPECT_TRUE(worldFilePath("inner", ".wgf", path));
}
