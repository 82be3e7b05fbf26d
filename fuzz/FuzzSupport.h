// What the fuzz targets share: a console that checks every call, a data folder of their own, and
// the rules that must hold after every frame of the game.
#pragma once

#include "config/ConfigFile.h"
#include "headless/HeadlessGame.h"
#include "platform/ModelConsole.h"
#include "world/WorldFiles.h"

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace fuzz {

// Ends the run with a message; libFuzzer keeps the input that led here.
[[noreturn]] void fail(const char* what);

// Arrow keys to move, E to use, Enter to choose, Tab for the panel.
inline constexpr std::string_view playConfig = "cMoveUp = &\n"
                                               "cMoveDown = (\n"
                                               "cMoveLeft = %\n"
                                               "cMoveRight = '\n"
                                               "cUse = E\n"
                                               "cSelect = 13\n"
                                               "cToggleRightOverlay = 9\n";
// The start world's files, relative to the data folder.
inline const std::string startGrid = "bin/world/" + std::string(startWorldStem) + ".wgf";
inline const std::string startInfo = "bin/world/" + std::string(startWorldStem) + ".wif";
inline constexpr std::string_view otherGrid = "bin/world/0f1e2d3c4b5a69788796a5b4c3d2e1f0.wgf";
inline constexpr std::string_view otherInfo = "bin/world/0f1e2d3c4b5a69788796a5b4c3d2e1f0.wif";

// A console in memory; every position, fill and write the game asks for must lie inside the
// 80 x 25 screen.
class CheckedConsole final : public platform::ModelConsole {
public:
    void setCursorPosition(int x, int y) override;
    void fillCharacters(int x, int y, std::uint8_t ch, int count) override;
    void fillAttributes(int x, int y, std::uint16_t attribute, int count) override;
    void writeText(std::string_view text) override;
    void writeGlyphs(std::string_view glyphs) override;

private:
    void checkCursor() const;
};

// A folder of this process's own under the temporary folder (config.ini, bin/world/), removed
// when the process ends.
class DataFolder {
public:
    DataFolder();
    ~DataFolder();
    DataFolder(const DataFolder&) = delete;
    DataFolder& operator=(const DataFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes a file (relative to the folder), or removes it.
    void write(std::string_view file, std::string_view bytes) const;
    void remove(std::string_view file) const;

private:
    std::filesystem::path path_;
};

// The rules of a game after a frame: the player's cell inside the grid, every rectangle to restore
// inside the screen, the panel's rectangle queued exactly while the panel is up.
void checkGame(const Game& game);

// One frame (as HeadlessGame::frame), then the rules.
void frame(HeadlessGame& game, std::int64_t ms, std::span<const int> keys);
inline void frame(HeadlessGame& game, std::int64_t ms, std::initializer_list<int> keys = {}) {
    frame(game, ms, std::span<const int>(keys.begin(), keys.size()));
}

// Plays a started game through a fixed tour: into play (a full draw), steps and uses around the
// start cell, the panel held over a refresh, out to the menu and back (another full draw).
void tour(HeadlessGame& game);

} // namespace fuzz
