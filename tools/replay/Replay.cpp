#include "Replay.h"

#include "app/Console.h"
#include "app/Game.h"
#include "config/ConfigFile.h"
#include "platform/Cp437.h"
#include "platform/virtual/VirtualConsole.h"

#include <array>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <istream>
#include <ostream>
#include <sstream>
#include <utility>

namespace replay {

namespace {

namespace fs = std::filesystem;

constexpr std::array<std::pair<const char*, int>, 10> namedKeys = {{
    {"ESC", 27},
    {"ENTER", 13},
    {"TAB", 9},
    {"SPACE", 32},
    {"BACK", 8},
    {"LEFT", 37},
    {"UP", 38},
    {"RIGHT", 39},
    {"DOWN", 40},
    {"LBUTTON", 1},
}};

bool parseInteger(const std::string& text, long long& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc() && end == last && !text.empty();
}

std::string describeLine(std::size_t number, const std::string& what) {
    return "line " + std::to_string(number) + ": " + what;
}

const platform::Cell& cellAt(const Snapshot& shot, int x, int y) {
    return shot.cells[static_cast<std::size_t>(y * platform::screenWidth + x)];
}

void printScreen(const Snapshot& shot, std::ostream& out) {
    for (int y = 0; y < platform::screenHeight; ++y) {
        std::string line;
        for (int x = 0; x < platform::screenWidth; ++x) {
            line += platform::cp437Utf8(cellAt(shot, x, y).ch).view();
        }
        out << line << '\n';
    }
}

void printAttrs(const Snapshot& shot, std::ostream& out) {
    static constexpr char hex[] = "0123456789abcdef";
    for (int y = 0; y < platform::screenHeight; ++y) {
        std::string line(platform::screenWidth, '0');
        for (int x = 0; x < platform::screenWidth; ++x) {
            line[static_cast<std::size_t>(x)] = hex[cellAt(shot, x, y).attribute & 0x0F];
        }
        out << line << '\n';
    }
}

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

// Enters the replay's working directory and leaves it again, whatever happens.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::string& dir) : previous_(fs::current_path()) {
        std::error_code error;
        fs::current_path(dir, error);
        if (error) {
            // A directory that does not exist holds no start world: run in an empty one.
            empty_ =
                fs::temp_directory_path() /
                ("tharvok-replay-empty-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
            fs::create_directories(empty_, error);
            fs::current_path(empty_, error);
        }
    }
    ~WorkingDirectory() {
        std::error_code error;
        fs::current_path(previous_, error);
        if (!empty_.empty()) {
            fs::remove_all(empty_, error);
        }
    }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    fs::path previous_;
    fs::path empty_;
};

} // namespace

std::unique_ptr<ReplayConsole> makeReplayConsole(const std::string& name) {
    if (name == "virtual") {
        return std::make_unique<VirtualReplayConsole>();
    }
#if defined(_WIN32)
    if (name == "win32") {
        return makeWin32ReplayConsole();
    }
#endif
    return nullptr;
}

int keyCode(const std::string& name) {
    if (name.size() == 1) {
        const char c = name[0];
        if (c >= 'a' && c <= 'z') {
            return c - 'a' + 'A';
        }
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            return c;
        }
        return -1;
    }
    for (const auto& [keyName, code] : namedKeys) {
        if (name == keyName) {
            return code;
        }
    }
    long long number = 0;
    if (name.size() >= 2 && name[0] == 'F' && parseInteger(name.substr(1), number) &&
        name[1] != '+' && number >= 1 && number <= 12) {
        return 111 + static_cast<int>(number);
    }
    if (name.size() > 2 && name.compare(0, 2, "VK") == 0 && name[2] >= '0' && name[2] <= '9' &&
        parseInteger(name.substr(2), number) && number >= 1 && number <= 255) {
        return static_cast<int>(number);
    }
    return -1;
}

bool parseScript(std::istream& in, std::vector<Command>& commands, std::string& error) {
    std::string line;
    std::size_t number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        for (char& c : line) {
            if (c == '\t') {
                c = ' ';
            }
        }
        std::istringstream words(line);
        std::vector<std::string> tokens;
        for (std::string token; words >> token;) {
            tokens.push_back(token);
        }
        if (tokens.empty() || tokens[0][0] == '#') {
            continue;
        }
        Command command;
        const std::string& name = tokens[0];
        std::size_t firstKey = 0;
        if (name == "frame" || name == "frames") {
            const bool many = name == "frames";
            const std::size_t needed = many ? 3 : 2;
            if (tokens.size() < needed) {
                error =
                    describeLine(number, "'" + name + "' needs " +
                                             (many ? "a count and milliseconds" : "milliseconds"));
                return false;
            }
            if (many && (!parseInteger(tokens[1], command.count) || command.count < 0)) {
                error = describeLine(number, "bad frame count '" + tokens[1] + "'");
                return false;
            }
            if (!parseInteger(tokens[needed - 1], command.ms)) {
                error = describeLine(number, "bad milliseconds '" + tokens[needed - 1] + "'");
                return false;
            }
            firstKey = needed;
        } else if (name == "screen" || name == "attrs" || name == "cursor") {
            if (tokens.size() != 1) {
                error = describeLine(number, "'" + name + "' takes no arguments");
                return false;
            }
            command.kind = name == "screen"  ? CommandKind::Screen
                           : name == "attrs" ? CommandKind::Attrs
                                             : CommandKind::Cursor;
            commands.push_back(command);
            continue;
        } else {
            error = describeLine(number, "unknown command '" + name + "'");
            return false;
        }
        for (std::size_t i = firstKey; i < tokens.size(); ++i) {
            const int code = keyCode(tokens[i]);
            if (code < 0) {
                error = describeLine(number, "unknown key '" + tokens[i] + "'");
                return false;
            }
            command.keys.push_back(code);
        }
        commands.push_back(std::move(command));
    }
    return true;
}

bool parseArguments(const std::vector<std::string>& args, Options& options, std::string& error) {
    bool haveScript = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--dir" || arg == "--local-time" || arg == "--console" || arg == "--out") {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            const std::string& value = args[++i];
            if (arg == "--dir") {
                options.dir = value;
                continue;
            }
            if (arg == "--out") {
                options.outPath = value;
                continue;
            }
            if (arg == "--console") {
                if (!makeReplayConsole(value)) {
                    error = "no console '" + value + "' here";
                    return false;
                }
                options.console = value;
                continue;
            }
            long long h = 0;
            long long m = 0;
            long long s = 0;
            const bool shaped = value.size() == 8 && value[2] == ':' && value[5] == ':' &&
                                parseInteger(value.substr(0, 2), h) &&
                                parseInteger(value.substr(3, 2), m) &&
                                parseInteger(value.substr(6, 2), s);
            if (!shaped || h > 23 || m > 59 || s > 59 || h < 0 || m < 0 || s < 0) {
                error = "--local-time takes HH:MM:SS, not '" + value + "'";
                return false;
            }
            options.localHour = static_cast<int>(h);
            options.localMinute = static_cast<int>(m);
            options.localSecond = static_cast<int>(s);
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            error = "unknown option '" + arg + "'";
            return false;
        } else if (haveScript) {
            error = "only one script can be given";
            return false;
        } else {
            options.scriptPath = arg;
            haveScript = true;
        }
    }
    return true;
}

int runReplay(const Options& options, const std::vector<Command>& commands, std::ostream& out) {
    const std::unique_ptr<ReplayConsole> console = makeReplayConsole(options.console);
    if (!console) {
        return exitUsage;
    }
    platform::ScriptedKeyboard keyboard;
    platform::ManualClock clock;
    clock.setLocalTime({options.localHour, options.localMinute, options.localSecond});
    platform::install({&console->device(), &keyboard, &clock});
    Console::attach(console->device());

    WorkingDirectory workingDirectory(options.dir);
    ConfigFile::forget();
    int status = 0;
    {
        Game game;
        const bool started = game.init();
        if (started) {
            game.startLoop();
        } else {
            status = 1;
        }
        for (const Command& command : commands) {
            switch (command.kind) {
            case CommandKind::Frames:
                for (long long n = 0; n < command.count && game.running; ++n) {
                    clock.advance(command.ms);
                    keyboard.releaseAll();
                    for (const int key : command.keys) {
                        keyboard.setDown(key, true);
                    }
                    game.runFrame();
                }
                break;
            case CommandKind::Screen:
                printScreen(console->snapshot(), out);
                break;
            case CommandKind::Attrs:
                printAttrs(console->snapshot(), out);
                break;
            case CommandKind::Cursor: {
                const Snapshot shot = console->snapshot();
                out << "cursor " << shot.cursorX << ' ' << shot.cursorY
                    << (shot.cursorVisible ? " visible" : " hidden") << '\n';
                break;
            }
            }
        }
    }
    ConfigFile::forget();
    platform::install({});
    return status;
}

int replayMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               std::ostream& err) {
    Options options;
    std::string error;
    if (!parseArguments(args, options, error)) {
        err << "tharvok-replay: " << error << "\n"
            << "usage: tharvok-replay [--dir DIR] [--local-time HH:MM:SS] [--console NAME] [--out "
               "FILE] "
               "[SCRIPT]\n";
        return exitUsage;
    }
    std::vector<Command> commands;
    bool parsed = false;
    if (options.scriptPath == "-") {
        parsed = parseScript(in, commands, error);
    } else {
        std::ifstream file(options.scriptPath, std::ios::binary);
        if (!file) {
            err << "tharvok-replay: cannot read script '" << options.scriptPath << "'\n";
            return exitUsage;
        }
        parsed = parseScript(file, commands, error);
    }
    if (!parsed) {
        err << "tharvok-replay: " << options.scriptPath << ": " << error << "\n";
        return exitUsage;
    }
    if (options.outPath.empty()) {
        return runReplay(options, commands, out);
    }
    std::ofstream file(options.outPath, std::ios::binary);
    if (!file) {
        err << "tharvok-replay: cannot write '" << options.outPath << "'\n";
        return exitUsage;
    }
    return runReplay(options, commands, file);
}

} // namespace replay
