// Terminal bytes for the game's screen changes, beside what ncurses writes for the same changes.
//
// The game plays the shipped worlds on the virtual console. After each change (the title screen,
// the first full map draw, a step, the status panel opened and closed, a message box) the screen
// is sent to a terminal two ways: by the game's own presenter, exactly as the terminal back end
// sends it, and by ncurses (terminfo xterm-256color, a colour pair per colour on an explicit
// black background, one refresh per change), writing to a file whose growth is counted. For each
// change it prints one line: name, the game's bytes, ncurses's bytes, and the lower bound of any
// encoder (the glyphs' bytes, one five-byte colour change where the colour changes, and a
// two-byte move per row touched).
//
//   tharvok_screen_bytes [DATA_DIR]
#include "headless/HeadlessGame.h"
#include "platform/Cp437.h"
#include "platform/VirtualKeys.h"
#include "platform/ansi/ByteBuffer.h"
#include "platform/ansi/Presenter.h"
#include "world/Player.h"
#include "world/World.h"
#include "world/WorldMap.h"

#include <ncurses.h>

#include <array>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using Cells = std::array<platform::Cell, platform::screenCellCount>;

// The curses colour of a console colour: console bit 0 is blue, curses bit 0 is red.
short cursesColour(int console) {
    const int rgb = ((console & 1) << 2) | (console & 2) | ((console & 4) >> 2);
    return static_cast<short>(rgb | (console & 8));
}

// ncurses drawing into a file, so that its bytes can be counted.
class CursesTerminal {
public:
    CursesTerminal() {
        setenv("LINES", "25", 1);
        setenv("COLUMNS", "80", 1);
        out_ = std::tmpfile();
        in_ = std::fopen("/dev/null", "r");
        screen_ = newterm("xterm-256color", out_, in_);
        start_color();
        for (int colour = 0; colour < 16; ++colour) {
            init_pair(static_cast<short>(colour + 1), cursesColour(colour), COLOR_BLACK);
        }
        curs_set(0);
    }
    ~CursesTerminal() {
        endwin();
        delscreen(screen_);
        std::fclose(out_);
        std::fclose(in_);
    }
    CursesTerminal(const CursesTerminal&) = delete;
    CursesTerminal& operator=(const CursesTerminal&) = delete;

    // Draws the cells that differ from the last screen, refreshes once; the bytes written.
    long show(const Cells& cells) {
        for (int y = 0; y < platform::screenHeight; ++y) {
            for (int x = 0; x < platform::screenWidth; ++x) {
                const platform::Cell& cell =
                    cells[static_cast<std::size_t>(y * platform::screenWidth + x)];
                const wchar_t glyph[2] = {static_cast<wchar_t>(platform::cp437CodePoint(cell.ch)),
                                          0};
                cchar_t c;
                const short pair = static_cast<short>((cell.attribute & 0x0F) + 1);
                setcchar(&c, glyph, A_NORMAL, pair, nullptr);
                mvadd_wch(y, x, &c);
            }
        }
        refresh();
        std::fflush(out_);
        struct stat info {};
        fstat(fileno(out_), &info);
        const long written = static_cast<long>(info.st_size) - size_;
        size_ = static_cast<long>(info.st_size);
        return written;
    }

private:
    std::FILE* out_ = nullptr;
    std::FILE* in_ = nullptr;
    SCREEN* screen_ = nullptr;
    long size_ = 0;
};

// A floor for a change from `before` to `after`: the glyph bytes of the cells that look
// different, a five-byte colour change wherever the colour changes among them, and a two-byte
// move for every row they are on.
long lowerBound(const Cells& before, const Cells& after) {
    long bytes = 0;
    int colour = -1;
    for (int y = 0; y < platform::screenHeight; ++y) {
        bool rowTouched = false;
        for (int x = 0; x < platform::screenWidth; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * platform::screenWidth + x);
            if (platform::ansi::sameLook(before[i], after[i])) {
                continue;
            }
            rowTouched = true;
            bytes += static_cast<long>(platform::cp437Utf8(after[i].ch).length);
            if (after[i].ch != ' ' && (after[i].attribute & 0x0F) != colour) {
                colour = after[i].attribute & 0x0F;
                bytes += 5;
            }
        }
        bytes += rowTouched ? 2 : 0;
    }
    return bytes;
}

class Measure {
public:
    explicit Measure(const std::filesystem::path& data) : headless_(data) {}

    bool start() {
        if (!headless_.start()) {
            return false;
        }
        record("title", Cells{});
        return true;
    }

    // Runs frames with the keys given (one list per frame) and prints the change they make.
    void change(const char* name, const std::vector<std::vector<int>>& frames) {
        const Cells before = model().cells();
        long ours = 0;
        for (const std::vector<int>& keys : frames) {
            headless_.frame(16, keys);
            ours += static_cast<long>(presenter_.presentFrame(model(), out_).size());
        }
        print(name, ours, curses_.show(model().cells()), lowerBound(before, model().cells()));
    }

    Game& game() { return headless_.game(); }

private:
    const platform::ScreenModel& model() { return headless_.virtualConsole()->model(); }

    void record(const char* name, const Cells& before) {
        const long ours = static_cast<long>(presenter_.presentFrame(model(), out_).size());
        print(name, ours, curses_.show(model().cells()), lowerBound(before, model().cells()));
    }

    static void print(const char* name, long ours, long curses, long bound) {
        std::printf("%s %ld %ld %ld\n", name, ours, curses, bound);
    }

    HeadlessGame headless_;
    platform::ansi::Presenter presenter_;
    platform::ansi::ByteBuffer out_{platform::ansi::maxPresentBytes};
    CursesTerminal curses_;
};

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "C.UTF-8");
    const std::filesystem::path data =
        argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::path(THARVOK_DATA_DIR);
    Measure measure(data);
    if (!measure.start()) {
        std::fprintf(stderr, "tharvok_screen_bytes: the start world in %s does not load\n",
                     data.string().c_str());
        return 1;
    }
    using namespace platform::vk;
    measure.change("full-draw", {{enter}, {}});
    measure.change("step", {{right}, {}});
    measure.change("panel-open", {{tab}});
    measure.change("panel-close", {{}});
    // Onto a link from the free cell west of it: its caption's box.
    const WorldMap& map = measure.game().world().map();
    for (const MapLink& link : map.links()) {
        const MapCell west{static_cast<std::uint8_t>(link.x - 1), link.y};
        if (link.x > 0 && link.x < platform::screenWidth && link.y < platform::screenHeight &&
            map.at(MapCell{link.x, link.y}) == linkCellChar && !map.isBlocking(west)) {
            measure.game().placePlayer(west);
            measure.change("message-box", {{right}, {}});
            break;
        }
    }
    measure.change("idle-second", std::vector<std::vector<int>>(62, std::vector<int>{}));
    return 0;
}
