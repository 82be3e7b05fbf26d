// The real Windows console as a replay console: the game draws through the Win32 back end and
// the screen is read back from the console itself, to compare with the virtual console.
#include "ReplayConsole.h"

#include "platform/win32/Win32Console.h"

namespace replay {

namespace {

class Win32ReplayConsole final : public ReplayConsole {
public:
    ~Win32ReplayConsole() override { console_.restore(); }

    platform::ConsoleDevice& device() override { return console_; }

    Snapshot snapshot() override {
        platform::win32::ConsoleReadback read;
        Snapshot shot;
        // A console that cannot be read shows as blank cells with the cursor at the top-left,
        // which no drawn screen matches.
        if (console_.readBack(read)) {
            shot.cells = read.cells;
            shot.cursorX = read.cursorX;
            shot.cursorY = read.cursorY;
            shot.cursorVisible = read.cursorVisible;
        }
        return shot;
    }

private:
    platform::win32::Win32Console console_;
};

} // namespace

// Only where standard output is a console: elsewhere there is nothing to draw into or read.
std::unique_ptr<ReplayConsole> makeWin32ReplayConsole() {
    if (!platform::win32::Win32Console::attached()) {
        return nullptr;
    }
    return std::make_unique<Win32ReplayConsole>();
}

} // namespace replay
