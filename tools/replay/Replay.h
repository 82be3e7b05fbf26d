// The replay runner: the real game, headless on the virtual console, with the keyboard and the
// clocks driven by a script.
#pragma once

#include "platform/Platform.h"
#include "platform/ScreenModel.h"

#include <array>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

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
#if defined(_WIN32)
std::unique_ptr<ReplayConsole> makeWin32ReplayConsole();
#endif

enum class CommandKind { Frames, Screen, Attrs, Cursor, Svg };

struct Command {
    CommandKind kind = CommandKind::Frames;
    long long count = 1;
    long long ms = 0;
    std::vector<int> keys;
    std::string name; // svg: the picture's name
};

struct Options {
    std::string dir = ".";
    int localHour = 12;
    int localMinute = 0;
    int localSecond = 0;
    std::string scriptPath = "-";
    std::string console = "virtual";
    std::string outPath; // empty: standard output
    std::string svgDir;  // where `svg NAME` lines write NAME.svg
};

inline constexpr int exitUsage = 2;

// Parses a script; false with a message naming the line when a line is malformed.
bool parseScript(std::istream& in, std::vector<Command>& commands, std::string& error);

// Parses the command line (without the program name); false with a message on a usage error.
bool parseArguments(const std::vector<std::string>& args, Options& options, std::string& error);

// Runs the game through the commands, printing what they ask for to `out`; the game reads its
// files from `options.dir`. Returns the game's exit status: 0 after a quit or when the script ends
// first, 1 when start-up failed; 2, with a message on `err`, when a picture cannot be written.
int runReplay(const Options& options, const std::vector<Command>& commands, std::ostream& out,
              std::ostream& err);

// The whole tool: arguments, script, run. Messages go to `err`.
int replayMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               std::ostream& err);

} // namespace replay
