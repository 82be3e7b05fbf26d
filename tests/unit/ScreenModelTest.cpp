// The screen model behaves as a Windows console with processed output on and wrap at the end of
// a line off; everything the game draws relies on it.
#include "platform/ScreenModel.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::ScreenModel;

std::string row(const ScreenModel& m, int y) {
    std::string text;
    for (int x = 0; x < platform::screenWidth; ++x) {
        text += static_cast<char>(m.cell(x, y).ch);
    }
    return text;
}

TEST(ScreenModel, StartsBlankInAttributeSevenWithAVisibleCursorAtTheTopLeft) {
    const ScreenModel m;
    for (const platform::Cell& cell : m.cells()) {
        ASSERT_EQ(cell, (platform::Cell{' ', 7}));
    }
    EXPECT_EQ(m.cursorX(), 0);
    EXPECT_EQ(m.cursorY(), 0);
    EXPECT_TRUE(m.cursorVisible());
}

TEST(ScreenModel, TheLastColumnKeepsTheCursorAndIsOverwritten) {
    ScreenModel m;
    m.setCursorPosition(78, 24);
    m.setAttribute(12);
    m.writeText("abc");
    EXPECT_EQ(m.cell(78, 24), (platform::Cell{'a', 12}));
    EXPECT_EQ(m.cell(79, 24), (platform::Cell{'c', 12}));
    EXPECT_EQ(m.cursorX(), 79);
    EXPECT_EQ(m.cursorY(), 24);
    EXPECT_EQ(m.scrolls(), 0u);
}

TEST(ScreenModel, LineFeedOnTheLastRowScrollsInTheCurrentAttribute) {
    ScreenModel m;
    m.writeText("top\nsecond");
    m.setCursorPosition(5, 24);
    m.setAttribute(4);
    m.writeText("bottom\n");
    EXPECT_EQ(row(m, 0).substr(0, 6), "second");
    EXPECT_EQ(row(m, 23).substr(5, 6), "bottom");
    EXPECT_EQ(row(m, 24), std::string(80, ' '));
    EXPECT_EQ(m.cell(0, 24).attribute, 4);
    EXPECT_EQ(m.cursorX(), 0);
    EXPECT_EQ(m.cursorY(), 24);
    EXPECT_EQ(m.scrolls(), 1u);
}

TEST(ScreenModel, ControlBytesInTextActAsTheConsoleDoes) {
    ScreenModel m;
    m.setAttribute(9);
    m.writeText("ab\tc");
    EXPECT_EQ(m.cell(2, 0), (platform::Cell{' ', 9})) << "a tab writes blanks as it goes";
    EXPECT_EQ(m.cell(8, 0).ch, 'c');
    m.writeText("\rX");
    EXPECT_EQ(m.cell(0, 0).ch, 'X');
    m.writeText("\b\bY");
    EXPECT_EQ(m.cell(0, 0).ch, 'Y') << "backspace stops at column 0";
    m.writeText("\a");
    EXPECT_EQ(m.cursorX(), 1) << "the bell leaves the screen alone";
    m.setCursorPosition(75, 1);
    m.writeText("\t");
    EXPECT_EQ(m.cursorX(), 79) << "a tab never leaves the last column";
    m.writeText("\t");
    EXPECT_EQ(m.cursorX(), 79);
    m.writeText(std::string(1, '\x1b'));
    EXPECT_EQ(m.cell(79, 1).ch, 0x1b) << "other control bytes are stored";
}

TEST(ScreenModel, GlyphWritesStoreEveryByteAndNeverMoveTheCursorOtherwise) {
    ScreenModel m;
    const std::string bytes = {'\a', '\b', '\t', '\n', '\r', '\0', '\xff'};
    m.writeGlyphs(bytes);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        EXPECT_EQ(m.cell(static_cast<int>(i), 0).ch, static_cast<std::uint8_t>(bytes[i]));
    }
    EXPECT_EQ(m.cursorX(), 7);
    EXPECT_EQ(m.cursorY(), 0);
    EXPECT_EQ(m.scrolls(), 0u);
}

TEST(ScreenModel, FillsRunAcrossRowsAndStopAtTheEndOfTheScreen) {
    ScreenModel m;
    m.fillCharacters(78, 0, '#', 4);
    EXPECT_EQ(m.cell(79, 0).ch, '#');
    EXPECT_EQ(m.cell(1, 1).ch, '#');
    EXPECT_EQ(m.cell(2, 1).ch, ' ');
    m.fillAttributes(0, 24, 3, 500);
    EXPECT_EQ(m.cell(79, 24).attribute, 3);
    EXPECT_EQ(m.cellWrites(), 4u + 80u);
    m.fillCharacters(0, 25, '!', 10);
    m.fillCharacters(-1, 0, '!', 10);
    EXPECT_EQ(m.cellWrites(), 84u) << "a fill that starts off the screen writes nothing";
    EXPECT_EQ(m.cursorX(), 0);
}

TEST(ScreenModel, CursorPositionsAreClampedToTheScreen) {
    ScreenModel m;
    m.setCursorPosition(200, -3);
    EXPECT_EQ(m.cursorX(), 79);
    EXPECT_EQ(m.cursorY(), 0);
}

} // namespace
