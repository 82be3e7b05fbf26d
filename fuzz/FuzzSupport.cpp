#include "FuzzSupport.h"

#include "platform/VirtualKeys.h"
#include "render/StatusPanelView.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <stdlib.h>

namespace fuzz {

namespace {

using platform::screenCellCount;
using platform::screenHeight;
using platform::screenWidth;

bool inside(int x, int y) { return x >= 0 && x < screenWidth && y >= 0 && y < screenHeight; }

void checkRun(int x, int y, int count) {
    if (!inside(x, y) || count < 0 || y * screenWidth + x + count > screenCellCount) {
        fail("a fill runs outside the screen");
    }
}

} // namespace

void fail(const char* what) {
    std::fprintf(stderr, "fuzz: %s\n", what);
    std::abort();
}

void CheckedConsole::setCursorPosition(int x, int y) {
    if (!inside(x, y)) {
        fail("the cursor is placed outside the screen");
    }
    ModelConsole::setCursorPosition(x, y);
}

void CheckedConsole::fillCharacters(int x, int y, std::uint8_t ch, int count) {
    checkRun(x, y, count);
    ModelConsole::fillCharacters(x, y, ch, count);
}

void CheckedConsole::fillAttributes(int x, int y, std::uint16_t attribute, int count) {
    checkRun(x, y, count);
    ModelConsole::fillAttributes(x, y, attribute, count);
}

void CheckedConsole::writeText(std::string_view text) {
    checkCursor();
    ModelConsole::writeText(text);
    checkCursor();
}

void CheckedConsole::writeGlyphs(std::string_view glyphs) {
    checkCursor();
    if (model().cursorX() + static_cast<int>(glyphs.size()) > screenWidth) {
        fail("glyphs are written past the end of their row");
    }
    ModelConsole::writeGlyphs(glyphs);
    checkCursor();
}

void CheckedConsole::checkCursor() const {
    if (!inside(model().cursorX(), model().cursorY())) {
        fail("the cursor is outside the screen");
    }
}

DataFolder::DataFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tharvok-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        fail("no scratch folder");
    }
    path_ = pattern;
    std::filesystem::create_directories(path_ / "bin" / "world");
}

DataFolder::~DataFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

void DataFolder::write(std::string_view file, std::string_view bytes) const {
    std::ofstream out(path_ / file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        fail("cannot write a data file");
    }
}

void DataFolder::remove(std::string_view file) const {
    std::error_code error;
    std::filesystem::remove(path_ / file, error);
}

void checkGame(const Game& game) {
    if (game.playerCell().x >= screenWidth || game.playerCell().y >= screenHeight) {
        fail("the player stands outside the grid");
    }
    const auto& queue = game.worldView().boxes();
    for (const CellRect& rect : queue) {
        if (rect.left > rect.right || rect.right > screenWidth || rect.top > rect.bottom ||
            rect.bottom > screenHeight) {
            fail("a rectangle to restore lies outside the screen");
        }
    }
    const CellRect panel = panelRect;
    if (game.panelShown() != game.worldView().panelUp()) {
        fail("the world and its view disagree on whether the panel is up");
    }
    if (game.panelShown()) {
        if (queue.empty() || !(queue.back() == panel)) {
            fail("the panel is up but its rectangle is not the newest queued");
        }
    } else if (std::find(queue.begin(), queue.end(), panel) != queue.end()) {
        fail("the panel is down but its rectangle is queued");
    }
}

void frame(HeadlessGame& game, std::int64_t ms, std::span<const int> keys) {
    game.frame(ms, keys);
    checkGame(game.game());
}

void tour(HeadlessGame& game) {
    namespace vk = platform::vk;
    const int use = 'E';
    frame(game, 16, {vk::enter});
    frame(game, 16);
    for (const int key : {use, int{vk::right}, use, int{vk::down}, use, int{vk::left},
                          int{vk::left}, use, int{vk::up}, int{vk::up}, use}) {
        frame(game, 16, {key});
        frame(game, 16);
    }
    frame(game, 16, {vk::tab});
    frame(game, 1100, {vk::tab});
    frame(game, 16);
    frame(game, 16, {vk::escape});
    frame(game, 16);
    frame(game, 16, {vk::enter});
    frame(game, 16);
}

} // namespace fuzz
