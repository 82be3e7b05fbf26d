// The game without a terminal: on the virtual console (or a console device it is given), with a
// scripted keyboard and a manual clock, driven one frame at a time. The replay runner, the tests
// and the benchmarks set the game up through this one class.
#pragma once

#include "app/Game.h"
#include "config/ConfigFile.h"
#include "platform/virtual/VirtualConsole.h"

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>

class HeadlessGame {
public:
    // The game on its own virtual console, reading `dataFolder`, with the local time of day at
    // start given. The console is set up here; nothing is loaded until start().
    explicit HeadlessGame(std::filesystem::path dataFolder,
                          platform::LocalTime localTime = {12, 0, 0});
    // The same on a console device that outlives this object; with a `config`, the game binds
    // its keys from it instead of the data folder's config.ini.
    HeadlessGame(platform::ConsoleDevice& console, std::filesystem::path dataFolder,
                 platform::LocalTime localTime = {12, 0, 0},
                 std::optional<ConfigFile> config = std::nullopt);
    ~HeadlessGame();
    HeadlessGame(const HeadlessGame&) = delete;
    HeadlessGame& operator=(const HeadlessGame&) = delete;

    // Reads the key bindings from config.ini in the data folder, creates the game's parts and
    // draws the first screen; false when the start world cannot be loaded (its message is on the
    // screen). With `speech`, the game says what happens from its first screen on.
    bool start(bool speech = false);

    // One frame: the wall clock advances `ms` milliseconds, then the frame runs with exactly
    // `keys` down. Nothing happens once the game has ended.
    void frame(std::int64_t ms, std::span<const int> keys);
    void frame(std::int64_t ms, std::initializer_list<int> keys = {}) {
        frame(ms, std::span<const int>(keys.begin(), keys.size()));
    }
    // The same for a frame input as a script holds it.
    void frame(const FrameInput& input);

    Game& game() { return *game_; }
    platform::ConsoleDevice& console() { return *console_; }
    // The virtual console, or null when the game draws into a device it was given.
    platform::VirtualConsole* virtualConsole() { return ownConsole_.get(); }
    platform::ScriptedKeyboard& keyboard() { return keyboard_; }
    platform::ManualClock& clock() { return clock_; }

private:
    std::unique_ptr<platform::VirtualConsole> ownConsole_;
    platform::ConsoleDevice* console_;
    platform::ScriptedKeyboard keyboard_;
    platform::ManualClock clock_;
    std::filesystem::path dataFolder_;
    std::optional<ConfigFile> config_;
    std::unique_ptr<Game> game_;
};
