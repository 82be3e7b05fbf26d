// The replay runner: the real game, headless on the virtual console, with the keyboard and the
// clocks driven by a script.
#pragma once

#include "platform/Platform.h"
#include "platform/ScreenModel.h"

#include <array>
#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
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

// The limits of a script line: beyond them a line is malformed.
inline constexpr long long maxFrameCount = 10'000'000;
inline constexpr long long maxFrameMs = 1'000'000'000'000;
inline constexpr std::size_t maxLineBytes = 4096;

enum class CommandKind { Frames, Screen, Attrs, Cursor, Svg, LocalTime, Said };

// One script line. Each kind has a row in the command table of Replay.cpp (its name and how its
// arguments read) and a case in the runner (what it does).
struct Command {
    CommandKind kind = CommandKind::Frames;
    long long count = 1;
    long long ms = 0;
    std::vector<int> keys;
    std::string name; // svg: the picture's name
    int hour = 0;     // local-time: the local time of day the game starts at
    int minute = 0;
    int second = 0;
};

struct Options {
    std::string dir = ".";
    int localHour = 12;
    int localMinute = 0;
    int localSecond = 0;
    std::string scriptPath = "-";
    std::string console = "virtual";
    std::string outPath;       // empty: standard output
    std::string svgDir;        // where `svg NAME` lines write NAME.svg
    std::string asciicastPath; // where a terminal recording goes; empty: none
};

inline constexpr int exitUsage = 2;

// What a script line holds.
enum class LineKind { Command, Nothing, Malformed };

// Reads one script line (without its line break; a CR before it, tabs and blanks are spacing).
// Nothing for an empty line or a comment; Malformed with a message for what the runner cannot do.
LineKind parseLine(std::string_view line, Command& command, std::string& error);

// A byte string as a message shows it: printable ASCII as it is, every other byte and the
// backslash escaped (\x1b, \\), so that nothing from a script can reach the user's terminal as
// a control.
std::string shown(std::string_view bytes);

// Parses the command line (without the program name); false with a message on a usage error.
bool parseArguments(const std::vector<std::string>& args, Options& options, std::string& error);

// The whole tool: arguments, script, run. A script file is checked whole before anything runs,
// then run line by line; standard input (or a pipe) runs as it is read. What the commands print
// goes to `out` (or the file named by --out), messages to `err`. Returns 0 after a quit or when
// the script ends, 1 when the start world cannot be loaded, 2 for a usage error, a malformed
// line, or a script that cannot be read or output that cannot be written.
int replayMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               std::ostream& err);

} // namespace replay
