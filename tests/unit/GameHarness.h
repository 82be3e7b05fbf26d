// Runs the real game in-process on the virtual console, with a scripted keyboard and a manual
// clock, reading the config.ini and the world files a test writes into a scratch folder.
#pragma once

#include "app/Game.h"
#include "config/ConfigFile.h"
#include "config/KeyBindings.h"
#include "core/Controls.h"
#include "headless/HeadlessGame.h"
#include "platform/Platform.h"
#include "platform/VirtualKeys.h"
#include "platform/virtual/VirtualConsole.h"
#include "render/MessageBox.h"
#include "render/StatusPanelView.h"
#include "world/DayClock.h"
#include "world/Player.h"
#include "world/StatusPanel.h"
#include "world/World.h"
#include "world/WorldFiles.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

using platform::screenCellCount;
using platform::screenHeight;
using platform::screenWidth;

namespace harness {

namespace fs = std::filesystem;

inline constexpr int vkTab = platform::vk::tab;
inline constexpr int vkEnter = platform::vk::enter;
inline constexpr int vkEscape = platform::vk::escape;
inline constexpr int vkLeft = platform::vk::left;
inline constexpr int vkUp = platform::vk::up;
inline constexpr int vkRight = platform::vk::right;
inline constexpr int vkDown = platform::vk::down;
inline constexpr int vkUse = 'E';

// Arrow keys to move, E to use, Enter to choose, Tab for the panel.
inline constexpr std::string_view playConfig = "cMoveUp = &\n"
                                               "cMoveDown = (\n"
                                               "cMoveLeft = %\n"
                                               "cMoveRight = '\n"
                                               "cUse = E\n"
                                               "cSelect = 13\n"
                                               "cToggleRightOverlay = 9\n";

inline const std::string startStem{startWorldStem};
// The directory of the world files as the game names them in its messages.
inline const std::string worldDir{worldDirectory};

// The bytes of a grid file: 25 rows of 80 bytes, each followed by `lineBreak`. Given rows are cut
// or padded with `fill`; rows not given are all `fill`.
inline std::string gridFile(const std::vector<std::string>& rows = {}, char fill = '.',
                            std::string_view lineBreak = "\n") {
    std::string text;
    for (int y = 0; y < screenHeight; ++y) {
        std::string row = y < static_cast<int>(rows.size()) ? rows[y] : std::string();
        row.resize(screenWidth, fill);
        text += row;
        text += lineBreak;
    }
    return text;
}

// The 2000 cells the same rows give.
inline std::vector<std::uint8_t> gridCells(const std::vector<std::string>& rows = {},
                                           char fill = '.') {
    std::vector<std::uint8_t> cells;
    for (int y = 0; y < screenHeight; ++y) {
        std::string row = y < static_cast<int>(rows.size()) ? rows[y] : std::string();
        row.resize(screenWidth, fill);
        cells.insert(cells.end(), row.begin(), row.end());
    }
    return cells;
}

// A row of `fill` with `ch` at column `x`.
inline std::string rowWith(int x, char ch, char fill = '.') {
    std::string row(screenWidth, fill);
    row[static_cast<std::size_t>(x)] = ch;
    return row;
}

inline void writeFile(const fs::path& path, std::string_view bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A fresh directory under the system's temporary directory, removed with everything in it.
class ScratchDir {
public:
    ScratchDir() {
        static std::atomic<int> counter{0};
        path_ =
            fs::temp_directory_path() / ("tharvok-unit-" + std::to_string(std::random_device{}()) +
                                         "-" + std::to_string(counter++));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code error;
        fs::remove_all(path_, error);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const fs::path& path() const { return path_; }

    void writeConfig(std::string_view text) const { writeFile(path_ / "config.ini", text); }

    fs::path worldFile(std::string_view stem, std::string_view extension) const {
        return path_ / "bin" / "world" / (std::string(stem) + std::string(extension));
    }
    void writeGrid(std::string_view stem, std::string_view bytes) const {
        writeFile(worldFile(stem, ".wgf"), bytes);
    }
    void writeInfo(std::string_view stem, std::string_view bytes) const {
        writeFile(worldFile(stem, ".wif"), bytes);
    }
    void writeWorld(std::string_view stem, std::string_view grid, std::string_view info) const {
        writeGrid(stem, grid);
        writeInfo(stem, info);
    }

private:
    fs::path path_;
};

// The table of entries a config.ini with `text` gives.
inline std::map<std::string, std::string> configEntries(std::string_view text) {
    ScratchDir dir;
    dir.writeConfig(text);
    ConfigFile config;
    config.load(dir.path() / configFileName);
    return config.entries;
}

// The key table the game builds from a config.ini with `text` (no file when `text` is null).
inline Controls controlsFrom(const std::string_view* text) {
    ScratchDir dir;
    if (text != nullptr) {
        dir.writeConfig(*text);
    }
    ConfigFile config;
    config.load(dir.path() / configFileName);
    return Controls(bindKeys(config));
}
inline Controls controlsFrom(std::string_view text) { return controlsFrom(&text); }

// The game on the virtual console, reading a scratch folder (or the data folder given). Write the
// config and worlds into `dir`, then start().
class GameHarness {
public:
    GameHarness() : GameHarness(fs::path()) {}
    explicit GameHarness(const fs::path& dataFolder)
        : headless(dataFolder.empty() ? dir.path() : dataFolder),
          console(*headless.virtualConsole()), keyboard(headless.keyboard()),
          clock(headless.clock()), game(&headless.game()) {
        dir.writeConfig(playConfig);
    }
    GameHarness(const GameHarness&) = delete;
    GameHarness& operator=(const GameHarness&) = delete;

    // Runs the game's start-up; true when the start world loaded and the first frame was
    // rendered.
    bool start() { return headless.start(); }

    // One frame of `ms` milliseconds with exactly `keys` held.
    void frame(std::int64_t ms, std::initializer_list<int> keys = {}) { headless.frame(ms, keys); }

    // From the title screen into play: Enter on "New Game ", then let it go.
    bool enterPlay() {
        frame(16, {vkEnter});
        frame(16);
        return game->state() == GameState::Playing;
    }

    // A tap of one key: down for a frame, then up for a frame.
    void tap(int key) {
        frame(16, {key});
        frame(16);
    }

    // What the game says of itself: its state, the player's cell, the panel, the time of day and
    // the world's name.
    GameState state() const { return game->state(); }
    MapCell playerCell() const { return game->playerCell(); }
    int playerX() const { return game->playerCell().x; }
    int playerY() const { return game->playerCell().y; }
    bool panelShown() const { return game->panelShown(); }
    double clockSeconds() const { return game->clockSeconds(); }
    std::string worldName() const { return std::string(game->worldName()); }

    // The loaded world's grid and links, read-only.
    const WorldMap& map() const { return game->world().map(); }
    std::uint8_t cell(int x, int y) const {
        return map().at(MapCell{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y)});
    }
    std::vector<std::uint8_t> cells() const {
        return std::vector<std::uint8_t>(map().cells().begin(), map().cells().end());
    }
    // The boxes on the map that the view will take off, newest last.
    const std::deque<CellRect>& boxes() const { return game->worldView().boxes(); }
    // The use key, tapped.
    void use() { tap(vkUse); }

    // Puts the player on a cell as a link jump does, without drawing.
    void placePlayer(int x, int y) const {
        game->placePlayer(MapCell{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y)});
    }

    const platform::Cell& screen(int x, int y) const { return console.model().cell(x, y); }
    std::string screenRow(int y) const {
        std::string row;
        for (int x = 0; x < screenWidth; ++x) {
            row += static_cast<char>(screen(x, y).ch);
        }
        return row;
    }
    bool screenContains(std::string_view text) const {
        for (int y = 0; y < screenHeight; ++y) {
            if (screenRow(y).find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    ScratchDir dir;
    HeadlessGame headless;
    platform::VirtualConsole& console;
    platform::ScriptedKeyboard& keyboard;
    platform::ManualClock& clock;
    Game* game;
};

} // namespace harness
