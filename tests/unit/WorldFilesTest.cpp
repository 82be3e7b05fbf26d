// The world files as the game loads them: grid files (.wgf) and link lists (.wif), at start-up
// and when a link is followed.
#include "GameHarness.h"

#include "Replay.h"

#include <gtest/gtest.h>

#include <sstream>

using harness::gridCells;
using harness::gridFile;
using harness::startStem;

namespace {

struct Loaded {
    bool started = false;
    std::vector<std::uint8_t> cells;
    std::string name;
    std::vector<MapLink> links;
};

// Starts the game with a start world made of `grid` and `info`.
Loaded loadStart(std::string_view grid, std::string_view info = "a b 0") {
    harness::GameHarness h;
    h.dir.writeWorld(startStem, grid, info);
    Loaded loaded;
    loaded.started = h.start();
    if (loaded.started) {
        loaded.cells = h.cells();
        loaded.name = h.worldName();
        loaded.links = h.map().links();
    }
    return loaded;
}

std::vector<MapLink> linksOf(std::string_view info) { return loadStart(gridFile(), info).links; }

std::vector<std::uint8_t> rowOf(const std::vector<std::uint8_t>& cells, int y) {
    return std::vector<std::uint8_t>(cells.begin() + y * screenWidth,
                                     cells.begin() + (y + 1) * screenWidth);
}

std::vector<std::uint8_t> bytes(std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

void expectLink(const MapLink& link, const std::string& caption, const std::string& target, int x,
                int y, int targetX, int targetY) {
    EXPECT_EQ(link.caption, caption);
    EXPECT_EQ(link.target, target);
    EXPECT_EQ(link.x, x);
    EXPECT_EQ(link.y, y);
    EXPECT_EQ(link.targetX, targetX);
    EXPECT_EQ(link.targetY, targetY);
}

// Rows of distinct letters, so that a shift shows.
std::vector<std::string> letterRows() {
    std::vector<std::string> rows;
    for (int y = 0; y < screenHeight; ++y) {
        std::string row;
        for (int x = 0; x < screenWidth; ++x) {
            row += static_cast<char>('A' + (x + y) % 26);
        }
        rows.push_back(row);
    }
    return rows;
}

} // namespace

TEST(GridFile, LfCrLfAndNoFinalLineBreakLoadAlike) {
    const std::vector<std::string> rows = letterRows();
    const std::vector<std::uint8_t> expected = gridCells(rows);
    const std::string lf = gridFile(rows);
    const std::string crlf = gridFile(rows, '.', "\r\n");
    EXPECT_EQ(loadStart(lf).cells, expected);
    EXPECT_EQ(loadStart(crlf).cells, expected);
    EXPECT_EQ(loadStart(lf.substr(0, lf.size() - 1)).cells, expected);
    EXPECT_EQ(loadStart(crlf.substr(0, crlf.size() - 2)).cells, expected);
    // Whatever follows the 25th row is ignored.
    EXPECT_EQ(loadStart(lf + std::string(300, '#') + "\n").cells, expected);
}

TEST(GridFile, LongRowsShiftTheRowsBelow) {
    // Rows of 81 characters: the reader takes 80 cells and throws the 81st away as if it were the
    // line break, so the real line break becomes a cell of the next row.
    std::string file;
    for (int y = 0; y < screenHeight; ++y) {
        file += std::string(screenWidth, static_cast<char>('A' + y)) + "x\n";
    }
    const Loaded loaded = loadStart(file);
    ASSERT_TRUE(loaded.started);
    EXPECT_EQ(rowOf(loaded.cells, 0), bytes(std::string(80, 'A')));
    EXPECT_EQ(rowOf(loaded.cells, 1), bytes(std::string("\n").append(79, 'B')));
    EXPECT_EQ(rowOf(loaded.cells, 2), bytes(std::string("x\n").append(78, 'C')));
    // Every row starts 81 bytes after the one above it.
    for (int y = 0; y < screenHeight; ++y) {
        EXPECT_EQ(rowOf(loaded.cells, y), bytes(std::string_view(file).substr(81 * y, 80)))
            << "row " << y;
    }
}

TEST(GridFile, ShortRowsPullTheNextRowUp) {
    std::vector<std::string> rows = letterRows();
    std::string file = "abc\n" + gridFile(rows);
    const Loaded loaded = loadStart(file);
    ASSERT_TRUE(loaded.started);
    EXPECT_EQ(rowOf(loaded.cells, 0), bytes("abc\n" + rows[0].substr(0, 76)));
    // The 77th character of the first full row takes the place of its line break.
    EXPECT_EQ(rowOf(loaded.cells, 1), bytes(rows[0].substr(77, 3) + "\n" + rows[1].substr(0, 76)));
}

TEST(GridFile, CellsAShortFileDoesNotReachAreBlanksAtTheFirstLoad) {
    const std::vector<std::string> rows = letterRows();
    const std::string full = gridFile(rows);

    // Three rows and a half.
    const Loaded partial = loadStart(full.substr(0, 81 * 3 + 40));
    ASSERT_TRUE(partial.started);
    std::vector<std::uint8_t> expected = gridCells(rows);
    std::fill(expected.begin() + 3 * 80 + 40, expected.end(), ' ');
    EXPECT_EQ(partial.cells, expected);

    // 24 rows, with and without the last line break: row 24 is blank.
    expected = gridCells(rows);
    std::fill(expected.begin() + 24 * 80, expected.end(), ' ');
    EXPECT_EQ(loadStart(full.substr(0, 81 * 24)).cells, expected);
    EXPECT_EQ(loadStart(full.substr(0, 81 * 24 - 1)).cells, expected);
}

TEST(GridFile, EmptyFileChangesNoCellButTheLinksAreStillRead) {
    const Loaded loaded = loadStart("", "Empty land 1 Door there 3 4 5 6");
    ASSERT_TRUE(loaded.started);
    EXPECT_EQ(loaded.cells, std::vector<std::uint8_t>(screenCellCount, ' '));
    EXPECT_EQ(loaded.name, "Empty land");
    ASSERT_EQ(loaded.links.size(), 1u);
    expectLink(loaded.links[0], "Door", "there", 3, 4, 5, 6);
}

TEST(GridFile, EveryByteIsKeptAsItIs) {
    // Control bytes, byte 26 and bytes above 127 are cells like any other; only a carriage
    // return directly before a line feed belongs to the line break.
    std::string row0;
    for (int b = 0; b < 80; ++b) {
        row0 += static_cast<char>(b == 10 ? 26 : b);
    }
    std::string row1;
    for (int b = 128; b < 208; ++b) {
        row1 += static_cast<char>(b);
    }
    std::string row2 = std::string("\x1A\r\x1A") + std::string(76, '\xFF') + "\r";
    const std::vector<std::string> rows = {row0, row1, row2, std::string(80, '\x7F')};
    const std::string lines = gridFile(rows);
    // Row 2 ends "\r\r\n": the first carriage return is a cell, the second is part of the break.
    const std::string file =
        lines.substr(0, 81 * 3 - 1).append("\r").append(lines.substr(81 * 3 - 1));
    const Loaded loaded = loadStart(file);
    ASSERT_TRUE(loaded.started);
    EXPECT_EQ(loaded.cells, gridCells(rows));
}

TEST(GridFile, SubstituteByteAtTheStartDoesNotEndTheFile) {
    std::vector<std::string> rows = letterRows();
    rows[0][0] = '\x1A';
    rows[24][79] = '\x1A';
    EXPECT_EQ(loadStart(gridFile(rows)).cells, gridCells(rows));
}

TEST(InfoFile, RecordsAreReadInFileOrderWhateverTheLayout) {
    const Loaded loaded =
        loadStart(gridFile(), "Brenholt   village\r\n3\n"
                              "Forest north 30 0 30 23\t"
                              "Fields\r\neast 79 12\n\n1 12 Lake south 34 24 1 6");
    EXPECT_EQ(loaded.name, "Brenholt village");
    ASSERT_EQ(loaded.links.size(), 3u);
    expectLink(loaded.links[0], "Forest", "north", 30, 0, 30, 23);
    expectLink(loaded.links[1], "Fields", "east", 79, 12, 1, 12);
    expectLink(loaded.links[2], "Lake", "south", 34, 24, 1, 6);
}

TEST(InfoFile, CountKeepsItsLowByte) {
    const std::string record = " c t 1 2 3 4";
    EXPECT_TRUE(linksOf("a b 256" + record).empty());
    EXPECT_TRUE(linksOf("a b 0" + record).empty());
    EXPECT_EQ(linksOf("a b 257" + record).size(), 1u);
    EXPECT_EQ(linksOf("a b -255" + record).size(), 1u);
    EXPECT_EQ(linksOf("a b -1" + record).size(), 255u);
}

TEST(InfoFile, NumbersKeepTheirLowByte) {
    const std::vector<MapLink> links = linksOf("a b 2 c t 80 300 5 -1 d u +7 0256 -256 255");
    ASSERT_EQ(links.size(), 2u);
    expectLink(links[0], "c", "t", 80, 44, 5, 255);
    expectLink(links[1], "d", "u", 7, 0, 0, 255);
}

TEST(InfoFile, CaptionWithABlankShiftsTheRecord) {
    // "Old Mill" is two words: "Old" becomes the caption, "Mill" the target, and the target
    // stem stands where the first number belongs; nothing after it reads.
    const std::vector<MapLink> links = linksOf("a b 2\nOld Mill mill 1 2 3 4\nGate town 5 6 7 8\n");
    ASSERT_EQ(links.size(), 2u);
    expectLink(links[0], "Old", "Mill", 0, 0, 0, 0);
    expectLink(links[1], "", "", 0, 0, 0, 0);
}

TEST(InfoFile, AWordWhereANumberBelongsEndsTheReading) {
    const std::vector<MapLink> links = linksOf("a b 3 c t 5 six 7 8 d u 1 2 3 4 e v 1 2 3 4");
    ASSERT_EQ(links.size(), 3u);
    expectLink(links[0], "c", "t", 5, 0, 0, 0);
    expectLink(links[1], "", "", 0, 0, 0, 0);
    expectLink(links[2], "", "", 0, 0, 0, 0);
    // A number too large for 32 bits does not read either.
    const std::vector<MapLink> big = linksOf("a b 2 c t 1 4294967297 3 4 d u 1 2 3 4");
    ASSERT_EQ(big.size(), 2u);
    expectLink(big[0], "c", "t", 1, 0, 0, 0);
    expectLink(big[1], "", "", 0, 0, 0, 0);
    // A word for the count gives no links.
    EXPECT_TRUE(linksOf("a b three c t 1 2 3 4").empty());
}

TEST(InfoFile, RecordsAnnouncedButMissingAreEmpty) {
    const std::vector<MapLink> links = linksOf("a b 3\nc t 9 8 7 6\n");
    ASSERT_EQ(links.size(), 3u);
    expectLink(links[0], "c", "t", 9, 8, 7, 6);
    expectLink(links[1], "", "", 0, 0, 0, 0);
    expectLink(links[2], "", "", 0, 0, 0, 0);
    // A record cut short keeps what it read.
    const std::vector<MapLink> cut = linksOf("a b 2 c t 9 8");
    ASSERT_EQ(cut.size(), 2u);
    expectLink(cut[0], "c", "t", 9, 8, 0, 0);
    expectLink(cut[1], "", "", 0, 0, 0, 0);
}

TEST(InfoFile, FilesWithLessThanAHeaderStillLoad) {
    const Loaded empty = loadStart(gridFile(), "");
    EXPECT_TRUE(empty.started);
    EXPECT_EQ(empty.name, " ");
    EXPECT_TRUE(empty.links.empty());
    const Loaded words = loadStart(gridFile(), "  lonely\n");
    EXPECT_TRUE(words.started);
    EXPECT_EQ(words.name, "lonely ");
    EXPECT_TRUE(words.links.empty());
}

TEST(InfoFile, SubstituteByteIsPartOfAWord) {
    const Loaded loaded = loadStart(gridFile(), "a\x1A b 1 c\x1A t\x1A 1 2 3 4");
    EXPECT_EQ(loaded.name, "a\x1A b");
    ASSERT_EQ(loaded.links.size(), 1u);
    expectLink(loaded.links[0], "c\x1A", "t\x1A", 1, 2, 3, 4);
}

TEST(WorldStart, MissingGridFileStopsTheStartWithAMessage) {
    harness::GameHarness h;
    h.dir.writeInfo(startStem, "a b 0");
    EXPECT_FALSE(h.start());
    EXPECT_TRUE(h.screenContains(harness::worldDir + startStem + ".wgf missing or corrupt!"));
    // A line break comes first: the message starts a row.
    EXPECT_EQ(h.screenRow(1).substr(0, harness::worldDir.size()), harness::worldDir);
}

TEST(WorldStart, MissingInfoFileStopsTheStartWithAMessage) {
    harness::GameHarness h;
    h.dir.writeGrid(startStem, gridFile());
    EXPECT_FALSE(h.start());
    EXPECT_TRUE(h.screenContains(harness::worldDir + startStem + ".wif missing or corrupt!"));
    EXPECT_FALSE(h.screenContains(".wgf"));
}

TEST(WorldStart, DirectoryInPlaceOfAWorldFileCannotBeOpened) {
    harness::GameHarness h;
    harness::fs::create_directories(h.dir.worldFile(startStem, ".wgf"));
    h.dir.writeInfo(startStem, "a b 0");
    EXPECT_FALSE(h.start());
    EXPECT_TRUE(h.screenContains(".wgf missing or corrupt!"));
}

#if defined(__linux__)
TEST(WorldStart, WorldFileThatCannotBeReadIsReportedLikeAMissingOne) {
    // Reading /proc/self/mem from its start fails with an input/output error.
    harness::GameHarness h;
    harness::fs::create_directories(h.dir.worldFile(startStem, ".wgf").parent_path());
    harness::fs::create_symlink("/proc/self/mem", h.dir.worldFile(startStem, ".wgf"));
    h.dir.writeInfo(startStem, "a b 0");
    EXPECT_FALSE(h.start());
    EXPECT_TRUE(h.screenContains(startStem + ".wgf missing or corrupt!"));

    harness::GameHarness g;
    g.dir.writeGrid(startStem, gridFile());
    harness::fs::create_symlink("/proc/self/mem", g.dir.worldFile(startStem, ".wif"));
    EXPECT_FALSE(g.start());
    EXPECT_TRUE(g.screenContains(startStem + ".wif missing or corrupt!"));
}
#endif

TEST(WorldStart, ReplayEndsWithStatusOneWhenTheStartWorldIsMissing) {
    harness::ScratchDir dir;
    dir.writeConfig(harness::playConfig);
    std::istringstream script("frames 3 16\nscreen\n");
    std::ostringstream out;
    std::ostringstream err;
    const int status = replay::replayMain({"--dir", dir.path().string()}, script, out, err);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.str().find(startStem + ".wgf missing or corrupt!"), std::string::npos);

    // With the world in place the same script runs and ends with 0.
    dir.writeWorld(startStem, gridFile(), "a b 0");
    std::istringstream again("frames 3 16\n");
    std::ostringstream out2;
    EXPECT_EQ(replay::replayMain({"--dir", dir.path().string()}, again, out2, err), 0);
}

TEST(WorldStart, PlayerStartsOnTheMiddleCellWithTheWholeMapToDraw) {
    harness::GameHarness h;
    h.dir.writeWorld(startStem, gridFile(), "a b 0");
    ASSERT_TRUE(h.start());
    EXPECT_EQ(h.playerX(), 40);
    EXPECT_EQ(h.playerY(), 12);
    EXPECT_EQ(h.playerX(), 40.0);
    EXPECT_EQ(h.playerY(), 12.0);
    EXPECT_TRUE(h.boxes().empty());
    // Entering play draws the map and the player.
    ASSERT_TRUE(h.enterPlay());
    EXPECT_EQ(h.screen(0, 0).ch, '.');
    EXPECT_EQ(h.screen(40, 12).ch, 2);
    EXPECT_EQ(h.screen(40, 12).attribute, 15);
}
