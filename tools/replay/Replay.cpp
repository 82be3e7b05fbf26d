#include "Replay.h"

#include "Asciicast.h"
#include "SvgScreen.h"

#include "app/HeadlessGame.h"
#include "core/Console.h"
#include "platform/Cp437.h"
#include "platform/VirtualKeys.h"
#include "platform/virtual/VirtualConsole.h"

#include <algorithm>
#include <charconv>
#include <exception>
#include <filesystem>
#include <fstream>
#include <istream>
#include <optional>
#include <ostream>
#include <span>
#include <streambuf>
#include <utility>

namespace replay {

namespace {

bool parseInteger(std::string_view text, long long& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc() && end == last && !text.empty();
}

bool parseInRange(std::string_view text, long long least, long long most, long long& value) {
    return parseInteger(text, value) && value >= least && value <= most;
}

std::string inQuotes(std::string_view text) {
    std::string result = "'";
    result.append(shown(text)).push_back('\'');
    return result;
}

// The arguments of each command: false with a message when they do not fit.
using ParseArguments = bool (*)(std::string_view name, std::span<const std::string_view> args,
                                Command& command, std::string& error);

bool readKeys(std::span<const std::string_view> names, Command& command, std::string& error) {
    for (const std::string_view name : names) {
        const int code = platform::vk::fromName(std::string(name));
        if (code < 0) {
            error = "unknown key " + inQuotes(name);
            return false;
        }
        command.keys.push_back(code);
    }
    return true;
}

bool readMilliseconds(std::string_view text, Command& command, std::string& error) {
    if (!parseInRange(text, -maxFrameMs, maxFrameMs, command.ms)) {
        error = "bad milliseconds " + inQuotes(text) + " (from " + std::to_string(-maxFrameMs) +
                " to " + std::to_string(maxFrameMs) + ")";
        return false;
    }
    return true;
}

// frame MS [KEY ...]
bool parseFrame(std::string_view name, std::span<const std::string_view> args, Command& command,
                std::string& error) {
    if (args.empty()) {
        error = inQuotes(name) + " needs milliseconds";
        return false;
    }
    command.count = 1;
    return readMilliseconds(args[0], command, error) && readKeys(args.subspan(1), command, error);
}

// frames N MS [KEY ...]
bool parseFrames(std::string_view name, std::span<const std::string_view> args, Command& command,
                 std::string& error) {
    if (args.size() < 2) {
        error = inQuotes(name) + " needs a count and milliseconds";
        return false;
    }
    if (!parseInRange(args[0], 0, maxFrameCount, command.count)) {
        error = "bad frame count " + inQuotes(args[0]) + " (from 0 to " +
                std::to_string(maxFrameCount) + ")";
        return false;
    }
    return readMilliseconds(args[1], command, error) && readKeys(args.subspan(2), command, error);
}

bool parseNoArguments(std::string_view name, std::span<const std::string_view> args, Command&,
                      std::string& error) {
    if (!args.empty()) {
        error = inQuotes(name) + " takes no arguments";
        return false;
    }
    return true;
}

// HH:MM:SS as a local time of day.
bool readLocalTime(std::string_view text, int& hour, int& minute, int& second) {
    long long h = 0;
    long long m = 0;
    long long s = 0;
    const bool shaped = text.size() == 8 && text[2] == ':' && text[5] == ':' &&
                        parseInRange(text.substr(0, 2), 0, 23, h) &&
                        parseInRange(text.substr(3, 2), 0, 59, m) &&
                        parseInRange(text.substr(6, 2), 0, 59, s);
    hour = static_cast<int>(h);
    minute = static_cast<int>(m);
    second = static_cast<int>(s);
    return shaped;
}

// local-time HH:MM:SS
bool parseLocalTime(std::string_view name, std::span<const std::string_view> args, Command& command,
                    std::string& error) {
    if (args.size() != 1 || !readLocalTime(args[0], command.hour, command.minute, command.second)) {
        error = inQuotes(name) + " takes HH:MM:SS";
        return false;
    }
    return true;
}

// svg NAME
bool parseSvg(std::string_view name, std::span<const std::string_view> args, Command& command,
              std::string& error) {
    if (args.size() != 1 || !isPictureName(args[0])) {
        error = inQuotes(name) + " takes one name, without '/' or '\\'";
        return false;
    }
    command.name = std::string(args[0]);
    return true;
}

struct CommandSyntax {
    std::string_view name;
    CommandKind kind;
    ParseArguments parse;
};

// Every command a script can hold.
constexpr CommandSyntax commandTable[] = {
    {"frame", CommandKind::Frames, parseFrame},
    {"frames", CommandKind::Frames, parseFrames},
    {"screen", CommandKind::Screen, parseNoArguments},
    {"attrs", CommandKind::Attrs, parseNoArguments},
    {"cursor", CommandKind::Cursor, parseNoArguments},
    {"svg", CommandKind::Svg, parseSvg},
    {"local-time", CommandKind::LocalTime, parseLocalTime},
    {"said", CommandKind::Said, parseNoArguments},
};

std::string describeLine(std::size_t number, const std::string& what) {
    return "line " + std::to_string(number) + ": " + what;
}

// Reads a script line by line without ever holding more than one line: a line longer than
// maxLineBytes is not read further.
class ScriptReader {
public:
    enum class Next { Line, End, TooLong, Failed };

    explicit ScriptReader(std::istream& in) : buffer_(in.rdbuf()) {}

    // The next line, without its line feed.
    Next next(std::string& line) {
        line.clear();
        if (buffer_ == nullptr) {
            return Next::Failed;
        }
        try {
            for (;;) {
                const auto c = buffer_->sbumpc();
                if (c == std::streambuf::traits_type::eof()) {
                    if (line.empty()) {
                        return Next::End;
                    }
                    ++number_;
                    return Next::Line;
                }
                if (c == '\n') {
                    ++number_;
                    return Next::Line;
                }
                if (line.size() == maxLineBytes) {
                    ++number_;
                    return Next::TooLong;
                }
                line.push_back(static_cast<char>(c));
            }
        } catch (const std::exception&) {
            // A file stream reports a failed read by throwing.
            return Next::Failed;
        }
    }

    std::size_t lineNumber() const { return number_; }

private:
    std::streambuf* buffer_;
    std::size_t number_ = 0;
};

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

// The game, headless, with what the script's commands ask of it.
class Runner {
public:
    // Starts the game, at the local time of day given; with a terminal recording, its first
    // frame is the screen the game starts on.
    Runner(const Options& options, platform::LocalTime localTime, ReplayConsole& console,
           std::ostream& out, Asciicast* cast)
        : options_(options), console_(console), out_(out), cast_(cast),
          headless_(console.device(), options.dir, localTime) {
        started_ = headless_.start(true);
        record();
    }

    bool started() const { return started_; }

    // Runs one command; false when what it printed or drew could not be written (`failure`
    // then says what could not; empty for the printed output).
    bool run(const Command& command, std::string& failure) {
        switch (command.kind) {
        case CommandKind::Frames:
            for (long long n = 0; n < command.count && headless_.game().running(); ++n) {
                headless_.frame(command.ms, command.keys);
                // The recording's clock is the script's, never going back.
                elapsedMs_ += std::max<long long>(command.ms, 0);
                record();
            }
            return true;
        case CommandKind::Screen:
            printScreen(console_.snapshot(), out_);
            break;
        case CommandKind::Attrs:
            printAttrs(console_.snapshot(), out_);
            break;
        case CommandKind::Cursor: {
            const Snapshot shot = console_.snapshot();
            out_ << "cursor " << shot.cursorX << ' ' << shot.cursorY
                 << (shot.cursorVisible ? " visible" : " hidden") << '\n';
            break;
        }
        case CommandKind::Svg: {
            const std::filesystem::path file =
                std::filesystem::path(options_.svgDir) / (command.name + ".svg");
            return writeSvgScreen(file, console_.snapshot().cells, failure);
        }
        case CommandKind::LocalTime:
            return true; // taken before the game started
        case CommandKind::Said:
            for (const std::string& sentence : headless_.game().speech().take()) {
                out_ << sentence << '\n';
            }
            break;
        }
        return static_cast<bool>(out_.flush());
    }

private:
    void record() {
        if (cast_ != nullptr) {
            const Snapshot shot = console_.snapshot();
            cast_->frame(std::min<long long>(elapsedMs_, maxElapsedMs), shot.cells, shot.cursorX,
                         shot.cursorY, shot.cursorVisible);
        }
    }

    // Far beyond any script: the recording's clock stops there rather than overflow.
    static constexpr long long maxElapsedMs = 1'000'000'000'000'000;

    const Options& options_;
    ReplayConsole& console_;
    std::ostream& out_;
    Asciicast* cast_;
    HeadlessGame headless_;
    bool started_ = false;
    long long elapsedMs_ = 0;
};

// Where the printed output goes: the stream given, or the file named by --out.
class Output {
public:
    Output(const Options& options, std::ostream& standardOutput) : stream_(&standardOutput) {
        if (!options.outPath.empty()) {
            name_ = inQuotes(options.outPath);
            file_.open(options.outPath, std::ios::binary | std::ios::trunc);
            stream_ = &file_;
        }
    }
    bool opened() const { return static_cast<bool>(*stream_); }
    std::ostream& stream() { return *stream_; }
    const std::string& name() const { return name_; }
    // Flushes (and closes a file); false when something could not be written.
    bool finish() {
        if (stream_ == &file_) {
            file_.close();
            return !file_.fail();
        }
        return static_cast<bool>(stream_->flush());
    }

private:
    std::ofstream file_;
    std::ostream* stream_;
    std::string name_ = "standard output";
};

class Replay {
public:
    Replay(const Options& options, std::ostream& err)
        : options_(options), err_(err),
          scriptName_(options.scriptPath == "-" ? std::string("-") : shown(options.scriptPath)) {}

    // Reads every line of a script file and checks it, keeping nothing; false with a message
    // at the first line that is malformed or cannot be read.
    bool check(ScriptReader& reader) {
        std::string line;
        Command command;
        bool started = false;
        for (;;) {
            const ScriptReader::Next next = reader.next(line);
            switch (next) {
            case ScriptReader::Next::End:
                return true;
            case ScriptReader::Next::Line:
                switch (parseLine(line, command, error_)) {
                case LineKind::Malformed:
                    return malformed(reader);
                case LineKind::Command:
                    if (!usable(command, started, reader)) {
                        return false;
                    }
                    started = started || command.kind != CommandKind::LocalTime;
                    break;
                case LineKind::Nothing:
                    break;
                }
                break;
            case ScriptReader::Next::TooLong:
            case ScriptReader::Next::Failed:
                return unreadable(reader, next);
            }
        }
    }

    // Runs the game through the script's lines as they are read. The game starts at the first
    // line that needs it, so that a local-time line before it sets the time it starts at.
    int run(ScriptReader& reader, ReplayConsole& console, std::ostream& standardOutput) {
        Output output(options_, standardOutput);
        if (!output.opened()) {
            err_ << "tharvok-replay: cannot write " << output.name() << "\n";
            return exitUsage;
        }
        std::optional<Asciicast> cast;
        if (!options_.asciicastPath.empty()) {
            std::string failure;
            if (!cast.emplace().open(options_.asciicastPath, consoleTitle, failure)) {
                err_ << "tharvok-replay: " << inQuotes(options_.asciicastPath) << ": " << failure
                     << "\n";
                return exitUsage;
            }
        }
        platform::LocalTime localTime{options_.localHour, options_.localMinute,
                                      options_.localSecond};
        int status = 0;
        {
            std::optional<Runner> runner;
            auto start = [&] {
                if (!runner) {
                    runner.emplace(options_, localTime, console, output.stream(),
                                   cast ? &*cast : nullptr);
                    status = runner->started() ? 0 : 1;
                }
            };
            std::string line;
            Command command;
            for (bool more = true; more;) {
                const ScriptReader::Next next = reader.next(line);
                switch (next) {
                case ScriptReader::Next::End:
                    more = false;
                    break;
                case ScriptReader::Next::TooLong:
                case ScriptReader::Next::Failed:
                    unreadable(reader, next);
                    return exitUsage;
                case ScriptReader::Next::Line:
                    switch (parseLine(line, command, error_)) {
                    case LineKind::Nothing:
                        break;
                    case LineKind::Malformed:
                        malformed(reader);
                        return exitUsage;
                    case LineKind::Command: {
                        if (!usable(command, runner.has_value(), reader)) {
                            return exitUsage;
                        }
                        if (command.kind == CommandKind::LocalTime) {
                            localTime = {command.hour, command.minute, command.second};
                            break;
                        }
                        start();
                        std::string failure;
                        if (!runner->run(command, failure)) {
                            err_ << "tharvok-replay: "
                                 << (failure.empty() ? "cannot write " + output.name() : failure)
                                 << "\n";
                            return exitUsage;
                        }
                        break;
                    }
                    }
                    break;
                }
            }
            start();
        }
        if (!output.finish()) {
            err_ << "tharvok-replay: cannot write " << output.name() << "\n";
            return exitUsage;
        }
        if (cast && !cast->finish()) {
            err_ << "tharvok-replay: cannot write " << inQuotes(options_.asciicastPath) << "\n";
            return exitUsage;
        }
        return status;
    }

    bool cannotRead(const std::string& why) {
        err_ << "tharvok-replay: cannot read script '" << scriptName_ << "'" << why << "\n";
        return false;
    }

private:
    // A command that can run here: pictures need a folder to go to, and the local time is set
    // before the game starts (before the first line that is not a comment or a local time).
    bool usable(const Command& command, bool started, const ScriptReader& reader) {
        if (command.kind == CommandKind::Svg && options_.svgDir.empty()) {
            err_
                << "tharvok-replay: the script writes pictures ('svg' lines): give --svg-dir DIR\n";
            return false;
        }
        if (command.kind == CommandKind::LocalTime && started) {
            error_ = "'local-time' comes before the first frame";
            return malformed(reader);
        }
        return true;
    }

    bool malformed(const ScriptReader& reader) {
        err_ << "tharvok-replay: " << scriptName_ << ": "
             << describeLine(reader.lineNumber(), error_) << "\n";
        return false;
    }
    bool unreadable(const ScriptReader& reader, ScriptReader::Next what) {
        if (what == ScriptReader::Next::TooLong) {
            err_ << "tharvok-replay: " << scriptName_ << ": "
                 << describeLine(reader.lineNumber(),
                                 "longer than " + std::to_string(maxLineBytes) + " bytes")
                 << "\n";
            return false;
        }
        return cannotRead("");
    }

    const Options& options_;
    std::ostream& err_;
    std::string scriptName_;
    std::string error_;
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

bool parseArguments(const std::vector<std::string>& args, Options& options, std::string& error) {
    bool haveScript = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--dir" || arg == "--local-time" || arg == "--console" || arg == "--out" ||
            arg == "--svg-dir" || arg == "--asciicast") {
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
            if (arg == "--asciicast") {
                options.asciicastPath = value;
                continue;
            }
            if (arg == "--console") {
                if (!makeReplayConsole(value)) {
                    error = "no console " + inQuotes(value) + " here";
                    return false;
                }
                options.console = value;
                continue;
            }
            if (!readLocalTime(value, options.localHour, options.localMinute,
                               options.localSecond)) {
                error = "--local-time takes HH:MM:SS, not " + inQuotes(value);
                return false;
            }
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            error = "unknown option " + inQuotes(arg);
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

std::string shown(std::string_view bytes) {
    static constexpr char hex[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\\') {
            text += "\\\\";
        } else if (byte >= 0x20 && byte < 0x7f) {
            text += c;
        } else {
            text += "\\x";
            text += hex[byte >> 4];
            text += hex[byte & 0x0f];
        }
    }
    return text;
}

LineKind parseLine(std::string_view line, Command& command, std::string& error) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    // Words between blanks and tabs; a line has at most maxLineBytes / 2 of them.
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t", at);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(line.find_first_of(" \t", start), line.size());
        words.push_back(line.substr(start, end - start));
        at = end;
    }
    if (words.empty() || words[0].front() == '#') {
        return LineKind::Nothing;
    }
    for (const CommandSyntax& syntax : commandTable) {
        if (syntax.name == words[0]) {
            command = Command{};
            command.kind = syntax.kind;
            const std::span<const std::string_view> args(words.data() + 1, words.size() - 1);
            return syntax.parse(syntax.name, args, command, error) ? LineKind::Command
                                                                   : LineKind::Malformed;
        }
    }
    error = "unknown command " + inQuotes(words[0]);
    return LineKind::Malformed;
}

namespace {

int replayUnguarded(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                    std::ostream& err) {
    Options options;
    std::string error;
    if (!parseArguments(args, options, error)) {
        err << "tharvok-replay: " << error << "\n"
            << "usage: tharvok-replay [--dir DIR] [--local-time HH:MM:SS] [--console NAME] [--out "
               "FILE] [--svg-dir DIR] [--asciicast FILE] [SCRIPT]\n";
        return exitUsage;
    }
    const std::unique_ptr<ReplayConsole> console = makeReplayConsole(options.console);
    if (!console) {
        return exitUsage;
    }
    Replay replay(options, err);
    if (options.scriptPath == "-") {
        ScriptReader reader(in);
        return replay.run(reader, *console, out);
    }
    namespace fs = std::filesystem;
    std::error_code failure;
    const fs::file_status status = fs::status(options.scriptPath, failure);
    if (failure || !fs::exists(status)) {
        replay.cannotRead("");
        return exitUsage;
    }
    if (fs::is_directory(status)) {
        replay.cannotRead(": it is a folder");
        return exitUsage;
    }
    std::ifstream file(options.scriptPath, std::ios::binary);
    if (!file) {
        replay.cannotRead("");
        return exitUsage;
    }
    // A script file is checked whole before anything runs, then read again as it runs; what
    // cannot be read twice (a pipe, a device) runs as it is read, like standard input.
    if (fs::is_regular_file(status)) {
        ScriptReader checking(file);
        if (!replay.check(checking)) {
            return exitUsage;
        }
        file.clear();
        file.seekg(0);
        if (!file) {
            replay.cannotRead("");
            return exitUsage;
        }
    }
    ScriptReader reader(file);
    return replay.run(reader, *console, out);
}

} // namespace

int replayMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               std::ostream& err) {
    // Whatever fails on the way (memory, a path that cannot be converted) is a message, never an
    // abort.
    try {
        return replayUnguarded(args, in, out, err);
    } catch (const std::exception& failure) {
        err << "tharvok-replay: " << shown(failure.what()) << "\n";
        return exitUsage;
    }
}

} // namespace replay
