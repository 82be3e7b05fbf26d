// The console a replay draws the game into and reads back, and what it shows at one moment.
#pragma once

#include "platform/Platform.h"
#include "platform/ScreenModel.h"

#include <array>
#include <memory>
#include <string>

namespace replay {

// What a console shows at one moment, as the replay prints it.
struct Snapshot {
    std::array<platform::Cell, platform::screenCellCount> cells{};
    int cursorX = 0;
    int cursorY = 0;
    bool cursorVisible = true;
};

// A console the replay draws the game into and reads back: the virtual console, or (on Windows)
// the real console, to prove that both show the same.
class ReplayConsole {
public:
    virtual ~ReplayConsole() = default;
    virtual platform::ConsoleDevice& device() = 0;
    virtual Snapshot snapshot() = 0;
};

// The console named on the command line ("virtual", or "win32" on Windows), or null.
std::unique_ptr<ReplayConsole> makeReplayConsole(const std::string& name);
// The Windows console, read back cell by cell; null where there is none (every other system).
std::unique_ptr<ReplayConsole> makeWin32ReplayConsole();

} // namespace replay
