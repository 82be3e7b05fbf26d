// Runs the real game in-process on the virtual console, with a scripted keyboard and a manual
// clock, in a scratch directory that holds the config.ini and the world files a test writes.
#pragma once

#include "app/Console.h"
#include "app/Controls.h"
#include "app/Game.h"
#include "config/ConfigFile.h"
#include "platform/Platform.h"
#include "platform/virtual/VirtualConsole.h"
#include "world/DayClock.h"
#include "world/Player.h"
#include "world/StatusPanel.h"
#include "world/World.h"
#include "world/WorldMap.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace harness {

namespace fs = std::filesystem;

inline constexpr int vkTab = 9;
inline constexpr int vkEnter = 13;
inline constexpr int vkEscape = 27;
inline constexpr int vkLeft = 37;
inline constexpr int vkUp = 38;
inline constexpr int vkRight = 39;
inline constexpr int vkDown = 40;
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
    for (int y = 0; y < mapHeight; ++y) {
        std::string row = y < static_cast<int>(rows.size()) ? rows[y] : std::string();
        row.resize(mapWidth, fill);
        text += row;
        text += lineBreak;
    }
    return text;
}

// The 2000 cells the same rows give.
inline std::vector<std::uint8_t> gridCells(const std::vector<std::string>& rows = {},
                                           char fill = '.') {
    std::vector<std::uint8_t> cells;
    for (int y = 0; y < mapHeight; ++y) {
        std::string row = y < static_cast<int>(rows.size()) ? rows[y] : std::string();
        row.resize(mapWidth, fill);
        cells.insert(cells.end(), row.begin(), row.end());
    }
    return cells;
}

// A row of `fill` with `ch` at column `x`.
inline std::string rowWith(int x, char ch, char fill = '.') {
    std::string row(mapWidth, fill);
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
        path_ = fs::temp_directory_path() /
                ("tharvok-unit-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
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

// Works in `dir` for as long as it lives.
class WorkingDir {
public:
    explicit WorkingDir(const fs::path& dir) : previous_(fs::current_path()) {
        fs::current_path(dir);
    }
    ~WorkingDir() {
        std::error_code error;
        fs::current_path(previous_, error);
    }
    WorkingDir(const WorkingDir&) = delete;
    WorkingDir& operator=(const WorkingDir&) = delete;

private:
    fs::path previous_;
};

// The configuration as the game reads it from `dir`, dropped again afterwards.
class ConfigScope {
public:
    explicit ConfigScope(const fs::path& dir) : cwd_(dir) {
        ConfigFile::forget();
        config_ = &ConfigFile::instance();
    }
    ~ConfigScope() { ConfigFile::forget(); }
    ConfigScope(const ConfigScope&) = delete;
    ConfigScope& operator=(const ConfigScope&) = delete;

    ConfigFile& config() const { return *config_; }

private:
    WorkingDir cwd_;
    ConfigFile* config_ = nullptr;
};

// The table of entries a config.ini with `text` gives.
inline std::map<std::string, std::string> configEntries(std::string_view text) {
    ScratchDir dir;
    dir.writeConfig(text);
    ConfigScope scope(dir.path());
    return scope.config().entries;
}

// The key table the game builds from a config.ini with `text` (no file when `text` is null).
inline Controls controlsFrom(const std::string_view* text) {
    ScratchDir dir;
    if (text != nullptr) {
        dir.writeConfig(*text);
    }
    WorkingDir cwd(dir.path());
    ConfigFile::forget();
    Controls controls;
    ConfigFile::forget();
    return controls;
}
inline Controls controlsFrom(std::string_view text) { return controlsFrom(&text); }

// A scripted keyboard installed as the platform's keyboard while it lives.
class KeyboardScope {
public:
    KeyboardScope() { platform::install({nullptr, &keyboard, &clock}); }
    ~KeyboardScope() { platform::install({}); }
    KeyboardScope(const KeyboardScope&) = delete;
    KeyboardScope& operator=(const KeyboardScope&) = delete;

    platform::ScriptedKeyboard keyboard;
    platform::ManualClock clock;
};

// The game on the virtual console. Write the config and worlds into `dir`, then start().
class GameHarness {
public:
    GameHarness() {
        platform::install({&console, &keyboard, &clock});
        Console::attach(console);
        dir.writeConfig(playConfig);
    }
    ~GameHarness() {
        game.reset();
        ConfigFile::forget();
        cwd.reset();
        platform::install({});
        // The game's console outlives this one: leave it bound to a console that stays.
        static platform::VirtualConsole parked;
        Console::attach(parked);
    }
    GameHarness(const GameHarness&) = delete;
    GameHarness& operator=(const GameHarness&) = delete;

    // Creates the game in `where` (the scratch directory by default) and runs its start-up; true
    // when the start world loaded and the first frame was rendered.
    bool start(const fs::path& where = {}) {
        cwd = std::make_unique<WorkingDir>(where.empty() ? dir.path() : where);
        ConfigFile::forget();
        game = std::make_unique<Game>();
        const bool started = game->init();
        if (started) {
            game->startLoop();
        }
        return started;
    }

    // One frame of `ms` milliseconds with exactly `keys` held.
    void frame(std::int64_t ms, std::initializer_list<int> keys = {}) {
        clock.advance(ms);
        keyboard.releaseAll();
        for (const int key : keys) {
            keyboard.setDown(key, true);
        }
        game->runFrame();
    }

    // From the title screen into play: Enter on "New Game ", then let it go.
    bool enterPlay() {
        frame(16, {vkEnter});
        frame(16);
        return game->state == GameState::Playing;
    }

    // A tap of one key: down for a frame, then up for a frame.
    void tap(int key) {
        frame(16, {key});
        frame(16);
    }

    World& world() const { return *game->world; }
    WorldMap& map() const { return *game->world->map; }
    Player& player() const { return *game->world->player; }
    StatusPanel& panel() const { return *game->world->statusPanel; }

    std::uint8_t cell(int x, int y) const { return map().cells[y * mapWidth + x]; }
    std::vector<std::uint8_t> cells() const {
        return std::vector<std::uint8_t>(map().cells, map().cells + mapCellCount);
    }
    // Puts the player on a cell as a link jump does, without drawing.
    void placePlayer(int x, int y) const {
        player().placeAt(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y));
    }

    const platform::Cell& screen(int x, int y) const { return console.model().cell(x, y); }
    std::string screenRow(int y) const {
        std::string row;
        for (int x = 0; x < mapWidth; ++x) {
            row += static_cast<char>(screen(x, y).ch);
        }
        return row;
    }
    bool screenContains(std::string_view text) const {
        for (int y = 0; y < mapHeight; ++y) {
            if (screenRow(y).find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    platform::VirtualConsole console;
    platform::ScriptedKeyboard keyboard;
    platform::ManualClock clock;
    ScratchDir dir;
    std::unique_ptr<WorkingDir> cwd;
    std::unique_ptr<Game> game;
};

} // namespace harness
