// The Win32 console back end against the screen model: the same calls on both, then the real
// console read back must hold what the model holds, cell for cell, with the same cursor. Runs in
// a console (under wine: in an 80 x 25 pseudo-terminal).
#include "platform/win32/Win32Console.h"
#include "platform/ScreenModel.h"
#include "platform/win32/Win32Keyboard.h"
#include "support/AllocationCount.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <random>
#include <sstream>
#include <string>

namespace {

using platform::screenCellCount;
using platform::screenHeight;
using platform::ScreenModel;
using platform::screenWidth;
using platform::win32::ConsoleReadback;
using platform::win32::Win32Console;

constexpr std::uint32_t wrapAtEndOfLine = 0x2;
constexpr std::string_view testTitle = "Tharvok console test";

std::string rowText(const std::array<platform::Cell, screenCellCount>& cells, int y) {
    std::string text;
    for (int x = 0; x < screenWidth; ++x) {
        const std::uint8_t ch = cells[static_cast<std::size_t>(y * screenWidth + x)].ch;
        text += ch >= 32 && ch < 127 ? static_cast<char>(ch) : '?';
    }
    return text;
}

// Drives the model and the real console with the same calls.
class Both {
public:
    Both() {
        console_.setUp(testTitle);
        // A known start: blank cells in attribute 7, cursor at the top-left and visible.
        fillCharacters(0, 0, ' ', screenCellCount);
        fillAttributes(0, 0, 7, screenCellCount);
        setAttribute(7);
        setCursorPosition(0, 0);
        setCursorVisible(true);
    }
    ~Both() { console_.restore(); }

    void setCursorPosition(int x, int y) {
        model_.setCursorPosition(x, y);
        console_.setCursorPosition(x, y);
    }
    void setCursorVisible(bool visible) {
        model_.setCursorVisible(visible);
        console_.setCursorVisible(visible);
    }
    void setAttribute(std::uint16_t attribute) {
        model_.setAttribute(attribute);
        console_.setAttribute(attribute);
    }
    void fillCharacters(int x, int y, std::uint8_t ch, int count) {
        model_.fillCharacters(x, y, ch, count);
        console_.fillCharacters(x, y, ch, count);
    }
    void fillAttributes(int x, int y, std::uint16_t attribute, int count) {
        model_.fillAttributes(x, y, attribute, count);
        console_.fillAttributes(x, y, attribute, count);
    }
    void writeText(std::string_view text) {
        model_.writeText(text);
        console_.writeText(text);
    }
    void writeGlyphs(std::string_view glyphs) {
        model_.writeGlyphs(glyphs);
        console_.writeGlyphs(glyphs);
    }

    Win32Console& console() { return console_; }

    // Every cell, the cursor and its visibility alike; names the first difference otherwise.
    testing::AssertionResult alike() const {
        ConsoleReadback real;
        if (!console_.readBack(real)) {
            return testing::AssertionFailure() << "the console cannot be read back";
        }
        for (int i = 0; i < screenCellCount; ++i) {
            const platform::Cell& want = model_.cells()[static_cast<std::size_t>(i)];
            const platform::Cell& got = real.cells[static_cast<std::size_t>(i)];
            if (want.ch != got.ch || (want.attribute & 0xFF) != got.attribute) {
                const int y = i / screenWidth;
                return testing::AssertionFailure()
                       << "cell (" << i % screenWidth << ", " << y << "): model " << int{want.ch}
                       << "/" << want.attribute << ", console " << int{got.ch} << "/"
                       << got.attribute << "\n  model:   " << rowText(model_.cells(), y)
                       << "\n  console: " << rowText(real.cells, y);
            }
        }
        if (real.cursorX != model_.cursorX() || real.cursorY != model_.cursorY() ||
            real.cursorVisible != model_.cursorVisible()) {
            return testing::AssertionFailure()
                   << "cursor: model " << model_.cursorX() << "," << model_.cursorY()
                   << (model_.cursorVisible() ? " visible" : " hidden") << ", console "
                   << real.cursorX << "," << real.cursorY
                   << (real.cursorVisible ? " visible" : " hidden");
        }
        return testing::AssertionSuccess();
    }

private:
    ScreenModel model_;
    Win32Console console_;
};

TEST(Win32ConsoleSetUp, TakesOverTheConsoleAndGivesItBack) {
    ASSERT_TRUE(Win32Console::attached()) << "run this test in a console";
    const platform::win32::ConsoleState before = Win32Console::queryState();
    ASSERT_TRUE(before.available);
    {
        Win32Console console;
        console.setUp(testTitle);
        const platform::win32::ConsoleState during = Win32Console::queryState();
        EXPECT_EQ(during.bufferWidth, screenWidth);
        EXPECT_EQ(during.bufferHeight, screenHeight);
        EXPECT_EQ(during.mode & wrapAtEndOfLine, 0U);
        EXPECT_EQ(during.mode | wrapAtEndOfLine, before.mode | wrapAtEndOfLine)
            << "only the wrap bit may change";
        EXPECT_EQ(during.title, testTitle);
        EXPECT_EQ(during.outputCodePage, platform::win32::glyphCodePage);
        // Set up again (a second game in the same process): still gives back the first state.
        console.setUp(testTitle);
        console.restore();
    }
    const platform::win32::ConsoleState after = Win32Console::queryState();
    EXPECT_EQ(after.mode, before.mode);
    EXPECT_EQ(after.outputCodePage, before.outputCodePage);
}

TEST(Win32ConsoleText, PlainTextStopsInTheLastColumn) {
    Both both;
    both.setCursorPosition(70, 3);
    both.writeText("ABCDEFGHIJKLMNOP");
    EXPECT_TRUE(both.alike());
    both.setCursorPosition(0, 4);
    both.writeText(std::string(200, 'x'));
    EXPECT_TRUE(both.alike());
}

TEST(Win32ConsoleText, ControlBytesActAsControls) {
    Both both;
    both.setCursorPosition(5, 2);
    both.writeText("ab\bc\ad\re");
    EXPECT_TRUE(both.alike());
    both.setCursorPosition(0, 5);
    both.writeText("\b\bx\n\nline\r\nnext");
    EXPECT_TRUE(both.alike());
    both.setCursorPosition(79, 6);
    both.writeText("\bY");
    EXPECT_TRUE(both.alike());
}

TEST(Win32ConsoleText, TabsFillToTheNextStopOrTheLastColumn) {
    Both both;
    both.setAttribute(0x1E);
    int row = 0;
    for (int column : {0, 1, 7, 8, 15, 33, 63, 71, 72, 75, 78, 79}) {
        both.setCursorPosition(column, ++row);
        both.writeText("\t|");
    }
    both.setCursorPosition(0, 14);
    both.writeText("\t\tTTTT\tHH\t\t\t\t\t\t\t\tend");
    EXPECT_TRUE(both.alike());
}

TEST(Win32ConsoleText, LineFeedOnTheLastRowScrollsInTheAttributeInForce) {
    Both both;
    both.setCursorPosition(0, 0);
    both.writeText("top row");
    both.setCursorPosition(10, 24);
    both.setAttribute(0x2F);
    both.writeText("bottom\nnew\n");
    EXPECT_TRUE(both.alike());
}

TEST(Win32ConsoleGlyphs, EveryByteIsStoredAsAGlyph) {
    Both both;
    for (int row = 0; row < 4; ++row) {
        std::string bytes;
        for (int i = 0; i < 64; ++i) {
            bytes += static_cast<char>(row * 64 + i);
        }
        both.setAttribute(static_cast<std::uint16_t>(row + 9));
        both.setCursorPosition(3, 2 + row);
        both.writeGlyphs(bytes);
    }
    EXPECT_TRUE(both.alike());
}

TEST(Win32ConsoleGlyphs, ARunPastTheLastColumnKeepsItsLastByteThere) {
    Both both;
    both.setAttribute(12);
    both.setCursorPosition(75, 8);
    both.writeGlyphs("0123456789");
    EXPECT_TRUE(both.alike());
    both.writeGlyphs("\n");
    both.writeGlyphs(std::string(300, '\xB2'));
    EXPECT_TRUE(both.alike());
    both.setCursorPosition(78, 9);
    both.writeGlyphs("ab");
    both.writeText("\bZ");
    EXPECT_TRUE(both.alike());
}

TEST(Win32ConsoleGlyphs, FollowTheCursorThatTextLeft) {
    Both both;
    both.setCursorPosition(10, 10);
    both.writeText("left\ton\r\nthen");
    both.writeGlyphs("\x07\x08\x09\x0A\x0D");
    both.writeText("\n");
    both.writeGlyphs("\xC9\xCD\xBB");
    EXPECT_TRUE(both.alike());
}

TEST(Win32ConsoleFills, ClipAndLeaveTheCursor) {
    Both both;
    both.setCursorPosition(7, 7);
    both.fillCharacters(70, 3, '#', 25);
    both.fillAttributes(60, 3, 0x4E, 50);
    both.fillCharacters(0, 24, '=', 500);
    both.fillAttributes(40, 24, 0x5A, 500);
    both.fillCharacters(-1, 2, '!', 10);
    both.fillCharacters(80, 2, '!', 10);
    both.fillAttributes(0, 25, 0x70, 10);
    both.fillCharacters(3, 3, '!', 0);
    EXPECT_TRUE(both.alike());
}

TEST(Win32ConsoleCursor, ClampsAndHides) {
    Both both;
    both.setCursorPosition(-5, 40);
    EXPECT_TRUE(both.alike());
    both.setCursorPosition(200, -1);
    both.setCursorVisible(false);
    EXPECT_TRUE(both.alike());
    EXPECT_EQ(both.console().attribute(), 7);
    both.setAttribute(0x0C);
    EXPECT_EQ(both.console().attribute(), 0x0C);
}

// What a frame asks of the console takes no memory: the frame loop is the hot path.
TEST(Win32ConsoleFrame, DrawsWithoutAllocating) {
    Win32Console console;
    console.setUp(testTitle);
    const std::string longRun(300, '\xDB');
    const std::uint64_t before = testsupport::allocationCount();
    for (int y = 0; y < screenHeight; ++y) {
        console.setCursorPosition(0, y);
        for (int x = 0; x < screenWidth; ++x) {
            console.setAttribute(static_cast<std::uint16_t>(x % 16));
            console.writeGlyphs(std::string_view("\x07", 1));
        }
    }
    console.writeGlyphs(longRun);
    console.setCursorPosition(70, 24);
    console.writeText("panel\t|\n");
    console.fillCharacters(0, 0, ' ', screenCellCount);
    console.fillAttributes(0, 0, 7, screenCellCount);
    console.setCursorVisible(false);
    console.present();
    const std::uint64_t after = testsupport::allocationCount();
    console.restore();
    EXPECT_EQ(after - before, 0U);
    // The count does see allocations.
    const auto probe = std::make_unique<int>(1);
    EXPECT_EQ(testsupport::allocationCount(), after + 1);
}

// A long run of calls of every kind, drawn at random: the real console must follow the model
// through all of them.
TEST(Win32ConsoleMixed, RandomCallsKeepTheConsoleAlikeTheModel) {
    Both both;
    std::mt19937 random(20121207);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    constexpr std::string_view textBytes = "abcXYZ 019.-~\n\r\b\a\t";
    for (int step = 0; step < 400; ++step) {
        switch (pick(7)) {
        case 0:
            both.setCursorPosition(pick(84) - 2, pick(28) - 2);
            break;
        case 1:
            both.setAttribute(static_cast<std::uint16_t>(pick(256)));
            break;
        case 2:
            both.fillCharacters(pick(80), pick(25), static_cast<std::uint8_t>(pick(256)),
                                pick(200));
            break;
        case 3:
            both.fillAttributes(pick(80), pick(25), static_cast<std::uint16_t>(pick(256)),
                                pick(200));
            break;
        case 4: {
            std::string text;
            for (int n = pick(30); n > 0; --n) {
                text += textBytes[static_cast<std::size_t>(pick(textBytes.size()))];
            }
            both.writeText(text);
            break;
        }
        case 5: {
            std::string glyphs;
            for (int n = pick(90); n > 0; --n) {
                glyphs += static_cast<char>(pick(256));
            }
            both.writeGlyphs(glyphs);
            break;
        }
        default:
            both.setCursorVisible(pick(2) == 0);
            break;
        }
        if (step % 50 == 49) {
            ASSERT_TRUE(both.alike()) << "after call " << step;
        }
    }
}

INPUT_RECORD mouse(SHORT x, SHORT y, DWORD buttons, DWORD flags = 0) {
    return {MOUSE_EVENT, {.MouseEvent = {{x, y}, buttons, 0, flags}}};
}

// The records written into the console's input, then one poll: its click.
std::optional<platform::ScreenPoint> clickAfter(platform::win32::Win32Keyboard& keyboard,
                                                std::vector<INPUT_RECORD> records) {
    DWORD written = 0;
    WriteConsoleInputW(GetStdHandle(STD_INPUT_HANDLE), records.data(), DWORD(records.size()),
                       &written);
    keyboard.sample();
    return keyboard.clicked();
}

TEST(Win32ConsoleClicks, EachPressOfTheLeftButtonIsOneClickOnItsCell) {
    using Cell = std::optional<platform::ScreenPoint>;
    const DWORD left = FROM_LEFT_1ST_BUTTON_PRESSED;
    platform::win32::Win32Keyboard keyboard;
    keyboard.open(true);
    keyboard.deliverClicks(true);
    DWORD mode = 0;
    GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode);
    EXPECT_EQ(mode & (ENABLE_MOUSE_INPUT | ENABLE_QUICK_EDIT_MODE), DWORD(ENABLE_MOUSE_INPUT));
    EXPECT_EQ(clickAfter(keyboard, {mouse(79, 24, left)}), Cell({79, 24}));
    // A drag, the right button while the left is held: no press. The last press, of a double
    // click, counts; one past the screen (in a larger buffer) is none.
    EXPECT_EQ(clickAfter(keyboard,
                         {mouse(0, 0, 0), mouse(3, 3, left, MOUSE_MOVED), mouse(4, 4, left | 2)}),
              Cell());
    EXPECT_EQ(clickAfter(keyboard, {mouse(1, 2, 0), mouse(1, 2, left), mouse(1, 2, 0),
                                    mouse(6, 7, left, DOUBLE_CLICK)}),
              Cell({6, 7}));
    EXPECT_EQ(clickAfter(keyboard, {mouse(6, 7, 0), mouse(80, 3, left)}), Cell());
    EXPECT_FALSE(keyboard.isDown(VK_LBUTTON)); // no key unless bound
    keyboard.restore();
    platform::win32::Win32Keyboard heard; // no screen shown: no click
    heard.open(false);
    heard.deliverClicks(true);
    EXPECT_EQ(clickAfter(heard, {mouse(2, 2, 0), mouse(1, 1, left)}), Cell());
}

} // namespace
