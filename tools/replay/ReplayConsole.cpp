#include "ReplayConsole.h"

#include "platform/virtual/VirtualConsole.h"

namespace replay {

namespace {

class VirtualReplayConsole final : public ReplayConsole {
public:
    platform::ConsoleDevice& device() override { return console_; }
    Snapshot snapshot() override {
        Snapshot shot;
        shot.cells = console_.model().cells();
        shot.cursorX = console_.model().cursorX();
        shot.cursorY = console_.model().cursorY();
        shot.cursorVisible = console_.model().cursorVisible();
        return shot;
    }

private:
    platform::VirtualConsole console_;
};

} // namespace

std::unique_ptr<ReplayConsole> makeReplayConsole(const std::string& name) {
    if (name == "virtual") {
        return std::make_unique<VirtualReplayConsole>();
    }
    if (name == "win32") {
        return makeWin32ReplayConsole();
    }
    return nullptr;
}

} // namespace replay
