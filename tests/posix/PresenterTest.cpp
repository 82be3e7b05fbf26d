// The presenter's bytes, played back on a terminal emulator, must show exactly what the screen
// model holds, and a frame must cost no more than the bounds measured for the game's screens.
#include "GameDirectory.h"
#include "TerminalEmulator.h"

#include "headless/HeadlessGame.h"
#include "platform/Cp437.h"
#include "platform/ScreenModel.h"
#include "platform/ansi/Presenter.h"
#include "platform/posix/KeyDecoder.h"
#include "platform/virtual/VirtualConsole.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <sstream>

namespace {

using platform::Cell;
using platform::screenHeight;
using platform::ScreenModel;
using platform::screenWidth;
using platform::ansi::ByteBuffer;
using platform::ansi::Cells;
using platform::ansi::Presenter;
using posixtest::TerminalEmulator;

// Console colour (1 blue, 2 green, 4 red, 8 bright) to SGR foreground, written out by hand.
constexpr int sgrForeground[16] = {30, 34, 32, 36, 31, 35, 33, 37, 90, 94, 92, 96, 91, 95, 93, 97};

bool blank(std::uint8_t ch) { return ch == ' ' || ch == 0; }

// What a terminal without Unicode shows for each byte, 16 to a row: printable ASCII as itself,
// the faces as @, box lines as + - |, shades and blocks as # and the like, accents dropped.
constexpr std::string_view asciiLookAlikes = " @@v****#o#mfdd*"  // 0x00
                                             "><|!PS-|^v><L-^v"  // 0x10
                                             " !\"#$%&'()*+,-./" // 0x20
                                             "0123456789:;<=>?"  // 0x30
                                             "@ABCDEFGHIJKLMNO"  // 0x40
                                             "PQRSTUVWXYZ[\\]^_" // 0x50
                                             "`abcdefghijklmno"  // 0x60
                                             "pqrstuvwxyz{|}~^"  // 0x70
                                             "CueaaaaceeeiiiAA"  // 0x80
                                             "EaAooouuyOUcLYPf"  // 0x90
                                             "aiounNao?--%%!<>"  // 0xa0
                                             ":%#|++++++|+++++"  // 0xb0
                                             "++++-++++++++-++"  // 0xc0
                                             "+++++++++++#####"  // 0xd0
                                             "aBGnEoutOOOd8oen"  // 0xe0
                                             "=+><||/~o..vn2# "; // 0xf0
static_assert(asciiLookAlikes.size() == 256);

// Empty when the emulator shows `cells` with their top-left cell at (left, top) (glyphs, colours;
// a blank shows only its background) and blanks on black around them, otherwise the first
// differences.
std::string differences(const TerminalEmulator& term, const Cells& cells, int left = 0, int top = 0,
                        bool ascii = false) {
    std::ostringstream out;
    int count = 0;
    for (int y = 0; y < term.rows(); ++y) {
        for (int x = 0; x < term.columns(); ++x) {
            const posixtest::TermCell& have = term.at(x, y);
            if (x < left || y < top || x >= left + screenWidth || y >= top + screenHeight) {
                if ((have.ch != U' ' || have.background != 40) && count++ < 5) {
                    out << "(" << x << "," << y << ") around the screen shows U+" << std::hex
                        << static_cast<unsigned>(have.ch) << std::dec << "\n";
                }
                continue;
            }
            const Cell& want = cells[static_cast<std::size_t>((y - top) * screenWidth + x - left)];
            const char32_t glyph = ascii ? static_cast<char32_t>(asciiLookAlikes[want.ch])
                                         : platform::cp437CodePoint(want.ch);
            const int background = sgrForeground[(want.attribute >> 4) & 15] + 10;
            const int foreground = sgrForeground[want.attribute & 15];
            bool same = have.background == background;
            if (blank(want.ch)) {
                same = same && have.ch == U' ';
            } else {
                same = same && have.ch == glyph && have.foreground == foreground;
            }
            if (!same && count++ < 5) {
                out << "(" << x << "," << y << ") want U+" << std::hex
                    << static_cast<unsigned>(glyph) << std::dec << " fg " << foreground << " bg "
                    << background << ", shows U+" << std::hex << static_cast<unsigned>(have.ch)
                    << std::dec << " fg " << have.foreground << " bg " << have.background << "\n";
            }
        }
    }
    for (const std::string& what : term.unknown()) {
        out << "unknown: " << what << "\n";
    }
    if (term.scrolls() != 0) {
        out << "the terminal scrolled " << term.scrolls() << " times\n";
    }
    return out.str();
}

// A presenter writing into an emulated terminal, frame by frame.
struct Screen {
    explicit Screen(int columns = screenWidth, int rows = screenHeight) : term(columns, rows) {
        presenter.placeIn(columns, rows);
    }

    // Where the screen's top-left cell would be in the terminal, with the view where it is.
    int left() const { return presenter.originX() - presenter.view().x; }
    int top() const { return presenter.originY() - presenter.view().y; }

    std::size_t show(const ScreenModel& model) {
        out.clear();
        presenter.present(model.cells(), model.cursorX(), model.cursorY(), model.cursorVisible(),
                          out);
        EXPECT_FALSE(out.overflowed());
        term.feed(out.view());
        return out.size();
    }

    Presenter presenter;
    ByteBuffer out{platform::ansi::maxPresentBytes};
    TerminalEmulator term;
};

TEST(PresenterColours, ConsoleBitsMapToAnsiOnBlack) {
    ScreenModel model;
    for (int colour = 0; colour < 16; ++colour) {
        model.setAttribute(static_cast<std::uint16_t>(colour));
        model.setCursorPosition(colour, 0);
        model.writeGlyphs("#");
        // Backgrounds too, under a visible glyph.
        model.setAttribute(static_cast<std::uint16_t>((colour << 4) | 15));
        model.setCursorPosition(colour, 1);
        model.writeGlyphs("#");
    }
    Screen screen;
    screen.show(model);
    EXPECT_EQ(differences(screen.term, model.cells()), "");
    EXPECT_EQ(screen.term.at(1, 0).foreground, 34);  // console 1: blue
    EXPECT_EQ(screen.term.at(4, 0).foreground, 31);  // console 4: red
    EXPECT_EQ(screen.term.at(14, 0).foreground, 93); // bright yellow
    EXPECT_EQ(screen.term.at(1, 1).background, 44);
    // An empty screen is drawn on an explicit black background, not the terminal's default.
    EXPECT_EQ(screen.term.at(40, 10).background, 40);
}

TEST(PresenterGlyphs, EveryByteShowsItsCodePage437Glyph) {
    ScreenModel model;
    for (int b = 0; b < 256; ++b) {
        model.setCursorPosition(b % 64, 2 + b / 64);
        const char ch = static_cast<char>(b);
        model.writeGlyphs(std::string_view(&ch, 1));
    }
    Screen screen;
    screen.show(model);
    EXPECT_EQ(differences(screen.term, model.cells()), "");
    EXPECT_EQ(screen.term.at(1, 2).ch, U'\u263A');
    EXPECT_EQ(screen.term.at(0, 2).ch, U' '); // byte 0 is a blank
    EXPECT_EQ(screen.term.at(219 % 64, 2 + 219 / 64).ch, U'\u2588');
}

TEST(PresenterDiff, NothingChangedWritesNothing) {
    ScreenModel model;
    model.writeText("hello");
    Screen screen;
    screen.show(model);
    EXPECT_EQ(screen.show(model), 0U);
    // A change of the foreground of a blank, or blank byte 0 for a space, does not show.
    model.fillAttributes(10, 10, 12, 5);
    model.fillCharacters(20, 20, 0, 5);
    EXPECT_EQ(screen.show(model), 0U);
}

TEST(PresenterDiff, CursorVisibilityAndPlace) {
    ScreenModel model;
    model.setCursorVisible(false);
    Screen screen;
    screen.show(model);
    EXPECT_FALSE(screen.term.cursorVisible());
    model.setCursorPosition(79, 24);
    model.writeGlyphs("x"); // stays in the last column (no wrap, no scroll)
    model.setCursorVisible(true);
    screen.show(model);
    EXPECT_EQ(differences(screen.term, model.cells()), "");
    EXPECT_TRUE(screen.term.cursorVisible());
    EXPECT_EQ(screen.term.cursorX(), 79);
    EXPECT_EQ(screen.term.cursorY(), 24);
    model.setCursorPosition(3, 4);
    screen.show(model);
    EXPECT_EQ(screen.term.cursorX(), 3);
    EXPECT_EQ(screen.term.cursorY(), 4);
}

TEST(PresenterDiff, LastColumnThenNextRowDoesNotWrapOrScroll) {
    ScreenModel model;
    Screen screen;
    screen.show(model);
    for (int y = 0; y < screenHeight; ++y) {
        model.setCursorPosition(78, y);
        model.writeGlyphs("ab");
        model.setCursorPosition(0, y);
        model.writeGlyphs("c");
    }
    screen.show(model);
    EXPECT_EQ(differences(screen.term, model.cells()), "");
}

TEST(PresenterDiff, BlankRunsAreErasedWhenShorter) {
    ScreenModel model;
    model.fillCharacters(0, 0, 'x', 80 * 3);
    model.fillAttributes(0, 0, 0x1E, 80 * 3);
    Screen screen;
    screen.show(model);
    // Row 0: a long run in the middle; row 1: to the end of the row; row 2: one blank cell.
    model.fillCharacters(10, 0, ' ', 40);
    model.fillCharacters(30, 1, ' ', 50);
    model.fillCharacters(5, 2, ' ', 1);
    const std::size_t bytes = screen.show(model);
    EXPECT_EQ(differences(screen.term, model.cells()), "");
    EXPECT_NE(screen.out.view().find("\x1b[40X"), std::string_view::npos) << screen.out.view();
    EXPECT_NE(screen.out.view().find("\x1b[K"), std::string_view::npos);
    EXPECT_LT(bytes, 40U);
    // A blank of another background is written, not erased in the wrong colour.
    model.fillAttributes(10, 0, 0x40, 20);
    screen.show(model);
    EXPECT_EQ(differences(screen.term, model.cells()), "");
}

TEST(PresenterDiff, InvalidateRedrawsEverythingAfterTheTerminalWasMessedWith) {
    ScreenModel model;
    model.setCursorVisible(false);
    model.setAttribute(0x2F);
    model.writeText("status line");
    Screen screen;
    screen.show(model);
    screen.term.feed("\x1b[0m\x1b[2J\x1b[5;5Hjunk"); // as if a resize or a shell had drawn
    screen.presenter.invalidate();
    screen.show(model);
    EXPECT_EQ(differences(screen.term, model.cells()), "");
    // The hidden cursor waits at the top-left again after the redraw.
    EXPECT_EQ(screen.term.cursorX(), 0);
    EXPECT_EQ(screen.term.cursorY(), 0);
}

TEST(PresenterDiff, LargerTerminalShowsTheGameCentred) {
    ScreenModel model;
    model.fillCharacters(0, 0, 'o', 80 * 25);
    Screen screen(121, 40);
    screen.show(model);
    // Blanks to the end of the game's rows, on black and on blue: right of the game stays black.
    model.fillCharacters(10, 3, ' ', 70);
    model.fillCharacters(10, 4, ' ', 70);
    model.fillAttributes(10, 4, 0x1F, 70);
    screen.show(model);
    EXPECT_EQ(differences(screen.term, model.cells(), 20, 7), "");
}

// A terminal: its size, whether it erases in the current background, whether it shows ASCII only.
struct Terminal {
    int columns;
    int rows;
    bool erases = true;
    bool ascii = false;
};

// Random screens and random edits: whatever the presenter chooses (moves, rewrites, erases), the
// terminal must end up showing the model (in a smaller terminal, the part in view).
class PresenterPlaces : public ::testing::TestWithParam<Terminal> {};

TEST_P(PresenterPlaces, RandomEditsAlwaysShowTheModel) {
    std::mt19937 random(20121);
    ScreenModel model;
    const Terminal terminal = GetParam();
    Screen screen(terminal.columns, terminal.rows);
    screen.term.setBackColourErase(terminal.erases);
    screen.presenter.setBackgroundColourErase(terminal.erases);
    screen.presenter.setAscii(terminal.ascii);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const std::uint16_t palette[] = {0x07, 0x0F, 0x01, 0x1E, 0x40, 0x4F, 0x08, 0x70};
    for (int frame = 0; frame < 400; ++frame) {
        const int edits = 1 + pick(frame % 10 == 0 ? 200 : 12);
        for (int e = 0; e < edits; ++e) {
            const int x = pick(screenWidth);
            const int y = pick(screenHeight);
            model.setAttribute(palette[pick(8)]);
            switch (pick(5)) {
            case 0:
                model.fillCharacters(x, y, ' ', pick(120));
                break;
            case 1:
                model.fillAttributes(x, y, palette[pick(8)], pick(30));
                break;
            case 2:
                model.fillCharacters(x, y, static_cast<std::uint8_t>(pick(256)), pick(6));
                break;
            default: {
                model.setCursorPosition(x, y);
                std::string glyphs;
                for (int n = pick(8); n > 0; --n) {
                    glyphs.push_back(static_cast<char>(pick(256)));
                }
                model.writeGlyphs(glyphs);
                break;
            }
            }
        }
        model.setCursorVisible(pick(4) == 0);
        model.setCursorPosition(pick(screenWidth), pick(screenHeight));
        // Now and then the player's glyph, for a view to follow.
        if (frame % 7 == 0) {
            platform::Focus focus;
            focus.hasPlayer = true;
            focus.playerX = pick(screenWidth);
            focus.playerY = pick(screenHeight);
            model.setAttribute(15);
            model.setCursorPosition(focus.playerX, focus.playerY);
            model.writeGlyphs("\x02");
            screen.presenter.setFocus(focus);
        }
        screen.show(model);
        const int left = screen.left();
        const int top = screen.top();
        const std::string diff = differences(screen.term, model.cells(), left, top, terminal.ascii);
        ASSERT_EQ(diff, "") << "frame " << frame;
        if (terminal.ascii) {
            const std::string_view bytes = screen.out.view();
            ASSERT_TRUE(std::none_of(bytes.begin(), bytes.end(),
                                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; }));
        }
        const platform::ansi::Area& view = screen.presenter.view();
        if (model.cursorVisible() && model.cursorX() >= view.x &&
            model.cursorX() < view.x + view.width && model.cursorY() >= view.y &&
            model.cursorY() < view.y + view.height) {
            ASSERT_EQ(screen.term.cursorX(), left + model.cursorX());
            ASSERT_EQ(screen.term.cursorY(), top + model.cursorY());
        } else { // hidden, it waits at the terminal's top-left
            ASSERT_EQ(screen.term.cursorX() + screen.term.cursorY(), 0) << "frame " << frame;
        }
    }
}

// Terminals of the game's size, one column more, and larger (the game centred); smaller ones (a
// view); ones that erase to their default colours (blanks written); ASCII ones.
INSTANTIATE_TEST_SUITE_P(Terminals, PresenterPlaces,
                         ::testing::Values(Terminal{80, 25}, Terminal{81, 25}, Terminal{83, 26},
                                           Terminal{132, 43}, Terminal{80, 24}, Terminal{40, 12},
                                           Terminal{61, 20, false, true}, Terminal{100, 24},
                                           Terminal{80, 24, false}, Terminal{80, 25, true, true}));

// The real game drawn into the virtual console, each frame presented.
class GameScreens : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(headless.start()); }
    void frame(std::initializer_list<int> keys = {}) { headless.frame(16, keys); }
    // Presents the game's screen with the focus the game gave.
    std::size_t show(Screen& screen) {
        screen.presenter.setFocus(console.focus());
        return screen.show(model());
    }
    const ScreenModel& model() const { return console.model(); }

    HeadlessGame headless{posixtest::gameDirectory()};
    platform::VirtualConsole& console = *headless.virtualConsole();
};

int changedCells(const Cells& before, const Cells& after) {
    int n = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        n += platform::ansi::sameLook(before[i], after[i]) ? 0 : 1;
    }
    return n;
}

constexpr int enter = 13;
constexpr int tab = 9;
constexpr int right = 39;
constexpr int left = 37;

TEST_F(GameScreens, FramesOfPlayShowTheModelWithinMeasuredBytes) {
    Screen screen;
    screen.show(model());
    ASSERT_EQ(differences(screen.term, model().cells()), "");

    frame({enter});
    frame();
    const std::size_t mapBytes = screen.show(model());
    EXPECT_EQ(differences(screen.term, model().cells()), "");
    EXPECT_LE(mapBytes, 4700U) << "menu to map";

    Screen fresh;
    const std::size_t fullBytes = fresh.show(model());
    EXPECT_EQ(differences(fresh.term, model().cells()), "");
    EXPECT_LE(fullBytes, 4700U) << "whole map on a cleared terminal";

    // A step: the cell left behind and the player's new cell.
    Cells before = model().cells();
    frame({right});
    frame();
    if (changedCells(before, model().cells()) == 0) {
        frame({left});
        frame();
    }
    ASSERT_EQ(changedCells(before, model().cells()), 2);
    const std::size_t stepBytes = screen.show(model());
    EXPECT_EQ(differences(screen.term, model().cells()), "");
    EXPECT_LE(stepBytes, 27U) << screen.out.view();

    // The status panel: a 12 x 25 box at columns 68-79, open while Tab is held.
    before = model().cells();
    frame({tab});
    const Cells& open = model().cells();
    EXPECT_EQ(open[68].ch, 0xC9); // top-left corner of a double frame
    const std::size_t panelBytes = screen.show(model());
    EXPECT_EQ(differences(screen.term, model().cells()), "");
    EXPECT_LE(panelBytes, 700U);
    frame({tab});
    EXPECT_LE(screen.show(model()), 40U) << "a held panel only refreshes its clock";
    frame();
    const std::size_t closeBytes = screen.show(model());
    EXPECT_EQ(differences(screen.term, model().cells()), "");
    EXPECT_EQ(changedCells(before, model().cells()), 0) << "the map is back";
    EXPECT_LE(closeBytes, 960U);
    std::printf("bytes: map %zu, full %zu, step %zu, panel %zu, close %zu\n", mapBytes, fullBytes,
                stepBytes, panelBytes, closeBytes);
}

// True when some row of the terminal shows `text`.
bool shows(const TerminalEmulator& term, std::u32string_view text) {
    for (int y = 0; y < term.rows(); ++y) {
        std::u32string row;
        for (int x = 0; x < term.columns(); ++x) {
            row.push_back(term.at(x, y).ch);
        }
        if (row.find(text) != std::u32string::npos) {
            return true;
        }
    }
    return false;
}

// Where a 40 x 12 terminal's view of one screen stands: the player with a margin, the boxes that
// fit beside the player, or the boxes alone (the newest first), or else the lowest part of the
// lines of text.
TEST(ViewPlaces, EachFocusAsItsPlaceToLook) {
    using platform::Area;
    const auto focus = [](std::optional<std::pair<int, int>> player,
                          std::initializer_list<Area> boxes, Area lines = {}) {
        platform::Focus f;
        if (player) {
            f.hasPlayer = true;
            f.playerX = player->first;
            f.playerY = player->second;
        }
        for (const Area& box : boxes) {
            f.addBox(box);
        }
        f.lines = lines;
        return f;
    };
    const Area single{20, 15, 17, 5};
    const Area tall{60, 14, 10, 9};
    const Area small{45, 16, 6, 4};
    const Area panel{68, 0, 12, 25};
    struct Row {
        const char* what;
        platform::Focus focus;
        Area view;
        int width = 40;
    };
    const Row rows[] = {
        {"the player, ten columns and three rows from the edges",
         focus(std::pair{50, 20}, {}),
         {30, 13, 40, 12}},
        {"the player at the margin: the view stays", focus(std::pair{29, 8}, {}), {0, 0, 40, 12}},
        {"a cell beyond the margin: it moves", focus(std::pair{30, 9}, {}), {10, 3, 40, 12}},
        {"a box beside the player", focus(std::pair{50, 20}, {single}), {17, 13, 40, 12}},
        {"a box nine rows high beside the player",
         focus(std::pair{58, 20}, {tall}),
         {39, 12, 40, 12}},
        {"a box taller than the view: the player alone",
         focus(std::pair{58, 20}, {panel}),
         {38, 13, 40, 12}},
        {"two boxes, no player", focus(std::nullopt, {small, tall}), {37, 12, 40, 12}},
        {"the newest box, where an older one does not fit beside it",
         focus(std::nullopt, {small, Area{0, 0, 6, 4}}),
         {28, 12, 40, 12}},
        {"text inside the view's corner", focus(std::nullopt, {}, {38, 11, 2, 1}), {0, 0, 40, 12}},
        {"one glyph in the view's corner", focus(std::nullopt, {}, {39, 11, 1, 1}), {0, 0, 40, 12}},
        {"text taller than the view: its lowest part",
         focus(std::nullopt, {}, {5, 2, 3, 19}),
         {0, 9, 40, 12}},
        {"a box before the text", focus(std::nullopt, {small}, {5, 2, 3, 19}), {28, 12, 40, 12}},
        {"nothing to keep: the view stays", focus(std::nullopt, {}), {0, 0, 40, 12}},
        {"a view 32 wide: a margin of a quarter, the player at it",
         focus(std::pair{23, 6}, {}),
         {0, 0, 32, 12},
         32},
        {"a view 32 wide: a cell beyond", focus(std::pair{24, 6}, {}), {8, 0, 32, 12}, 32},
    };
    for (const Row& row : rows) {
        Screen screen(row.width, 12);
        screen.presenter.setFocus(row.focus);
        screen.show(ScreenModel{});
        EXPECT_EQ(screen.presenter.view(), row.view) << row.what;
    }
}

// A click names the screen cell shown where it was made: in a larger terminal the screen is
// centred, a smaller one shows a view that followed the player (at 70, 20); elsewhere none.
TEST(PresenterClicks, AClickNamesTheCellShownWhereItWasMade) {
    using Cell = std::optional<platform::ScreenPoint>;
    for (const auto& [columns, report, cell] :
         std::vector<std::tuple<int, std::string, Cell>>{{100, "\x1b[<0;11;3M", Cell({0, 0})},
                                                         {100, "\x1b[<0;90;27M", Cell({79, 24})},
                                                         {100, "\x1b[<0;10;3M", {}},
                                                         {100, "\x1b[<0;90;28M", {}},
                                                         {40, "\x1b[<0;1;1M", Cell({40, 13})},
                                                         {40, "\x1b[<16;40;12M", Cell({79, 24})},
                                                         {40, "\x1b[M !,", Cell({40, 24})}}) {
        Screen screen(columns, columns == 100 ? 30 : 12);
        screen.presenter.setFocus(platform::Focus{true, 70, 20});
        screen.show(ScreenModel{});
        platform::posix::KeyDecoder decoder;
        decoder.feed(report);
        const auto& click = decoder.events().back();
        EXPECT_EQ(screen.presenter.screenCell(click.column, click.row), cell) << report;
    }
}

// Terminals smaller than the screen show a view of the real game: the title's menu, then the
// player always, away from the view's edge where there is room, the view moving seldom.
class GameViews : public GameScreens, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(GameViews, TheViewShowsTheMenuAndFollowsThePlayer) {
    Screen screen(GetParam().first, GetParam().second);
    show(screen);
    EXPECT_TRUE(shows(screen.term, U"> New Game") && shows(screen.term, U"Exit"));
    frame({enter});
    frame();
    int playerMoves = 0;
    int viewMoves = 0;
    platform::ansi::Area view = screen.presenter.view();
    int lastX = -1;
    int lastY = -1;
    for (const auto& [key, frames] : {std::pair{right, 50}, std::pair{40, 25}, std::pair{left, 90},
                                      std::pair{38, 25}, std::pair{right, 20}}) {
        for (int i = 0; i < frames; ++i) {
            headless.frame(60, {key});
            show(screen);
            ASSERT_EQ(differences(screen.term, model().cells(), screen.left(), screen.top()), "");
            ASSERT_TRUE(shows(screen.term, U"\u263B")) << "the player is out of view";
            const auto& cells = model().cells();
            const auto at = std::find_if(cells.begin(), cells.end(), [](const Cell& cell) {
                return cell.ch == 2 && cell.attribute == 15;
            });
            const int x = static_cast<int>(at - cells.begin()) % screenWidth;
            const int y = static_cast<int>(at - cells.begin()) / screenWidth;
            const platform::ansi::Area& now = screen.presenter.view();
            // A margin of a quarter of the view, where the screen's edge is not nearer.
            EXPECT_GE(x - now.x, std::min(x, now.width / 4));
            EXPECT_GE(now.x + now.width - 1 - x, std::min(platform::lastColumn - x, now.width / 4));
            playerMoves += x != lastX || y != lastY ? 1 : 0;
            viewMoves += now == view ? 0 : 1;
            view = now;
            lastX = x;
            lastY = y;
        }
    }
    EXPECT_GT(playerMoves, 30);
    EXPECT_LE(viewMoves * 3, playerMoves) << viewMoves << " moves of the view";
    if (GetParam().first < screenWidth) {
        EXPECT_GT(viewMoves, 0) << "the walk is wider than the view";
    }
}

INSTANTIATE_TEST_SUITE_P(Terminals, GameViews,
                         ::testing::Values(std::pair{80, 24}, std::pair{40, 12},
                                           std::pair{57, 19}));

} // namespace
