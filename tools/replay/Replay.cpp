#include "Replay.h"

#include "SvgScreen.h"

#include "app/HeadlessGame.h"
#include "platform/Cp437.h"
#include "platform/VirtualKeys.h"
#include "platform/virtual/VirtualConsole.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <istream>
#include <ostream>
#include <sstream>
#include <utility>

namespace replay {

namespace {

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
        } else if (name == "svg") {
            if (tokens.size() != 2 || !isPictureName(tokens[1])) {
                error = describeLine(number, "'svg' takes one name, without '/' or '\\'");
                return false;
            }
            command.kind = CommandKind::Svg;
            command.name = tokens[1];
            commands.push_back(command);
            continue;
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
            const int code = platform::vk::fromName(tokens[i]);
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
        if (arg == "--dir" || arg == "--local-time" || arg == "--console" || arg == "--out" ||
            arg == "--svg-dir") {
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
            if (arg == "--svg-dir") {
                options.svgDir = value;
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

int runReplay(const Options& options, const std::vector<Command>& commands, std::ostream& out,
              std::ostream& err) {
    const std::unique_ptr<ReplayConsole> console = makeReplayConsole(options.console);
    if (!console) {
        return exitUsage;
    }
    int status = 0;
    {
        HeadlessGame headless(console->device(), options.dir,
                              {options.localHour, options.localMinute, options.localSecond});
        if (!headless.start()) {
            status = 1;
        }
        for (const Command& command : commands) {
            switch (command.kind) {
            case CommandKind::Frames:
                for (long long n = 0; n < command.count && headless.game().running; ++n) {
                    headless.frame(command.ms, command.keys);
                }
                break;
            case CommandKind::Screen:
                printScreen(console->snapshot(), out);
                break;
            case CommandKind::Attrs:
                printAttrs(console->snapshot(), out);
                break;
            case CommandKind::Svg: {
                std::string error;
                const std::filesystem::path file =
                    std::filesystem::path(options.svgDir) / (command.name + ".svg");
                if (!writeSvgScreen(file, console->snapshot().cells, error)) {
                    err << "tharvok-replay: " << error << "\n";
                    return exitUsage;
                }
                break;
            }
            case CommandKind::Cursor: {
                const Snapshot shot = console->snapshot();
                out << "cursor " << shot.cursorX << ' ' << shot.cursorY
                    << (shot.cursorVisible ? " visible" : " hidden") << '\n';
                break;
            }
            }
        }
    }
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
               "[--svg-dir DIR] [SCRIPT]\n";
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
    const bool pictures = std::any_of(commands.begin(), commands.end(),
                                      [](const Command& c) { return c.kind == CommandKind::Svg; });
    if (pictures && options.svgDir.empty()) {
        err << "tharvok-replay: the script writes pictures ('svg' lines): give --svg-dir DIR\n";
        return exitUsage;
    }
    if (options.outPath.empty()) {
        return runReplay(options, commands, out, err);
    }
    std::ofstream file(options.outPath, std::ios::binary);
    if (!file) {
        err << "tharvok-replay: cannot write '" << options.outPath << "'\n";
        return exitUsage;
    }
    return runReplay(options, commands, file, err);
}

} // namespace replay
