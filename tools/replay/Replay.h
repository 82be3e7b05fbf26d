// The replay runner: the real game, headless on the virtual console, with the keyboard and the
// clocks driven by a script.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace replay {

enum class CommandKind { Frames, Screen, Attrs, Cursor };

struct Command {
    CommandKind kind = CommandKind::Frames;
    long long count = 1;
    long long ms = 0;
    std::vector<int> keys;
};

struct Options {
    std::string dir = ".";
    int localHour = 12;
    int localMinute = 0;
    int localSecond = 0;
    std::string scriptPath = "-";
};

inline constexpr int exitUsage = 2;

// Parses a script; false with a message naming the line when a line is malformed.
bool parseScript(std::istream& in, std::vector<Command>& commands, std::string& error);

// Parses the command line (without the program name); false with a message on a usage error.
bool parseArguments(const std::vector<std::string>& args, Options& options, std::string& error);

// The key code a script names ("A", "7", "ESC", "F5", "VK112"), or -1.
int keyCode(const std::string& name);

// Runs the game through the commands, printing what they ask for to `out`. Works in
// `options.dir` and returns to the current directory afterwards. Returns the game's exit status:
// 0 after a quit or when the script ends first, 1 when start-up failed.
int runReplay(const Options& options, const std::vector<Command>& commands, std::ostream& out);

// The whole tool: arguments, script, run. Messages go to `err`.
int replayMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               std::ostream& err);

} // namespace replay
