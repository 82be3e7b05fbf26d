#include "Replay.h"

#include "Asciicast.h"
#include "PlayedWith.h"
#include "Runner.h"
#include "ScriptReader.h"

#include "core/Console.h"
#include "platform/ScreenText.h"
#include "replay/Script.h"
#include "world/WorldFiles.h"

#include <filesystem>
#include <fstream>
#include <istream>
#include <optional>
#include <ostream>
#include <utility>

namespace replay {

namespace {

namespace fs = std::filesystem;
using script::Command;
using script::CommandKind;
using script::inQuotes;
using script::LineKind;
using script::parseLine;
using script::shown;

std::string describeLine(std::size_t number, const std::string& what) {
    return "line " + std::to_string(number) + ": " + what;
}

// A folder as a message names it: absolute where that can be known.
std::string folderName(const fs::path& folder) {
    std::error_code error;
    fs::path name = fs::absolute(folder, error);
    name = error ? folder : name.lexically_normal();
    if (!name.has_filename() && name.has_parent_path()) {
        name = name.parent_path(); // "/home/me/." reads "/home/me", not "/home/me/"
    }
    return inQuotes(name.string());
}

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

// The lines before the first frame: what the game starts with.
struct Setup {
    platform::LocalTime localTime;
    std::optional<std::string> data;
    script::ConfigText config;

    // Takes a set-up line; false with a message when it does not fit.
    bool take(const Command& command, std::string& error) {
        switch (command.kind) {
        case CommandKind::LocalTime:
            localTime = command.localTime;
            return true;
        case CommandKind::Data:
            data = command.text;
            return true;
        default:
            return config.add(command, error);
        }
    }
};

std::string_view setupName(CommandKind kind) {
    switch (kind) {
    case CommandKind::LocalTime:
        return "local-time";
    case CommandKind::Data:
        return "data";
    case CommandKind::Config:
        return "config";
    default:
        return "config-line";
    }
}

class Replay {
public:
    Replay(const Options& options, std::optional<ConfigFile> config, std::ostream& err)
        : options_(options), config_(std::move(config)), err_(err),
          scriptName_(options.scriptPath == "-" ? std::string("-") : shown(options.scriptPath)) {}

    // Reads every line of a script file and checks it, keeping nothing but its set-up; false
    // with a message at the first line that is malformed or cannot be read.
    bool check(ScriptReader& reader) {
        std::string line;
        Command command;
        Setup setup;
        bool started = false;
        for (;;) {
            const ScriptReader::Next next = reader.next(line);
            switch (next) {
            case ScriptReader::Next::End:
                return started || configComplete(setup, reader);
            case ScriptReader::Next::Line:
                if (cutShort(reader, line)) {
                    return started || configComplete(setup, reader);
                }
                switch (parseLine(line, command, error_)) {
                case LineKind::Malformed:
                    return malformed(reader);
                case LineKind::Command:
                    if (!usable(command, started, reader) || !take(setup, command, reader)) {
                        return false;
                    }
                    if (!started && !script::beforeStart(command.kind)) {
                        started = true;
                        if (!configComplete(setup, reader)) {
                            return false;
                        }
                    }
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
    // line that needs it, so that the set-up lines before it say what it starts with.
    // What the game met on the way (a start world it cannot read, world files that differ) is
    // said once the run is over.
    int run(ScriptReader& reader, ReplayConsole& console, std::ostream& standardOutput) {
        const int status = play(reader, console, standardOutput);
        err_ << messages_;
        return status;
    }

    bool cannotRead(const std::string& why) {
        err_ << "tharvok-replay: cannot read script '" << scriptName_ << "'" << why << "\n";
        return false;
    }

private:
    int play(ScriptReader& reader, ReplayConsole& console, std::ostream& standardOutput) {
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
        Setup setup{options_.localTime, std::nullopt, {}};
        std::optional<Runner> runner;
        auto start = [&] {
            if (!runner) {
                if (!configComplete(setup, reader)) {
                    return false;
                }
                runner.emplace(options_, startWith(setup), console, output.stream(), messages_,
                               cast ? &*cast : nullptr);
                if (!runner->started()) {
                    noStartWorld(setup);
                }
            }
            return true;
        };
        std::string line;
        Command command;
        std::size_t cutAt = 0;
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
                if (cutShort(reader, line)) {
                    cutAt = reader.lineNumber();
                    more = false;
                    break;
                }
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
                    if (script::beforeStart(command.kind)) {
                        if (!take(setup, command, reader)) {
                            return exitUsage;
                        }
                        break;
                    }
                    if (!start()) {
                        return exitUsage;
                    }
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
        if (!start()) {
            return exitUsage;
        }
        if (cutAt > 0) {
            messages_ += "tharvok-replay: " + scriptName_ + ": the recording stops at line " +
                         std::to_string(cutAt) +
                         ", cut short as it was written: that line is not played\n";
        }
        if (!options_.finalScreenPath.empty() && options_.finalScreenPath != "-" &&
            !writeFinalScreen(*runner, options_.finalScreenPath)) {
            return exitUsage;
        }
        if (options_.finalScreenPath == "-") {
            output.stream() << finalScreenText(*runner);
        }
        if (!output.finish()) {
            err_ << "tharvok-replay: cannot write " << output.name() << "\n";
            return exitUsage;
        }
        if (cast && !cast->finish(runner->elapsedMs())) {
            err_ << "tharvok-replay: cannot write " << inQuotes(options_.asciicastPath) << "\n";
            return exitUsage;
        }
        return !runner->started()         ? exitNoStartWorld
               : runner->worldsDiffered() ? exitWorldsDiffer
               : cutAt > 0                ? exitRecordingCut
                                          : exitPlayed;
    }

    // True for the last line of a recording when it has no line end: the recorder was stopped
    // as it wrote it, and what it holds may be a part of a line (a frame without all its keys).
    // A script written by other means plays its last line as it is.
    bool cutShort(const ScriptReader& reader, std::string_view line) {
        if (reader.lineNumber() == 1) {
            recording_ = script::isRecordingStart(line);
        }
        return recording_ && !reader.lineEnded();
    }

    // A command that can run here: pictures need a folder to go to, and the set-up lines come
    // before the game starts (before the first line that is not a comment or a set-up line).
    bool usable(const Command& command, bool started, const ScriptReader& reader) {
        if (command.kind == CommandKind::Svg && options_.svgDir.empty()) {
            err_
                << "tharvok-replay: the script writes pictures ('svg' lines): give --svg-dir DIR\n";
            return false;
        }
        // A picture never replaces the script it comes from (the same file by its identity).
        if (std::error_code unknown;
            command.kind == CommandKind::Svg && options_.scriptPath != "-" &&
            fs::equivalent(options_.scriptPath, fs::path(options_.svgDir) / (command.text + ".svg"),
                           unknown) &&
            !unknown) {
            err_ << "tharvok-replay: 'svg " << command.text
                 << "' would write over the script: nothing is written\n";
            return false;
        }
        if (script::beforeStart(command.kind) && started) {
            error_ = inQuotes(setupName(command.kind)) + " comes before the first frame";
            return malformed(reader);
        }
        return true;
    }

    bool take(Setup& setup, const Command& command, const ScriptReader& reader) {
        return !script::beforeStart(command.kind) || setup.take(command, error_) ||
               malformed(reader);
    }

    // The config.ini the set-up carries is whole.
    bool configComplete(const Setup& setup, const ScriptReader& reader) {
        std::optional<std::string> bytes;
        return setup.config.finish(bytes, error_) || malformed(reader);
    }

    // The data folder: --data, else the recording's when it holds the start world, else the
    // working directory, else (for a recording) the game's data beside this program; the
    // configuration: --config, else the recording's, else none given.
    Start startWith(const Setup& setup) {
        Start start;
        start.localTime = setup.localTime;
        data_ = chooseDataFolder(options_.data, setup.data, options_.programFolder);
        start.data = data_.folder;
        if (data_.foundBeside) {
            messages_ += "tharvok-replay: neither the data folder the recording names, " +
                         folderName(*setup.data) +
                         ", nor the working directory holds the start world: played with " +
                         folderName(data_.folder) + "\n";
        }
        std::optional<std::string> recorded;
        if (setup.config.given()) {
            setup.config.finish(recorded, error_);
        }
        if (config_) {
            start.config = *config_;
            if (setup.config.given()) {
                compareConfig(recorded);
            }
        } else if (setup.config.given()) {
            start.config.emplace();
            if (recorded) {
                start.config->parse(*recorded);
            }
        }
        return start;
    }

    // Says how the configuration given with --config differs from the one the recording carries
    // (before any world file it leads the game not to read).
    void compareConfig(const std::optional<std::string>& recorded) {
        ConfigFile then;
        if (recorded) {
            then.parse(*recorded);
        }
        const std::string name = inQuotes(*options_.config) + " (--config)";
        const std::string recordedName =
            recorded ? "the recording's config.ini" : "the recording's (made without a config.ini)";
        const std::string keys = keysDiffering(then, *config_);
        if (!keys.empty()) {
            messages_ += "tharvok-replay: warning: the keys differ from " + recordedName + ": " +
                         name + " binds\n" + keys;
        } else if (then.entries != config_->entries) {
            messages_ += "tharvok-replay: " + name + " is not " + recordedName +
                         ", but binds the same keys\n";
        }
    }

    void noStartWorld(const Setup& setup) {
        std::string grid;
        worldFilePath(startWorldStem, gridExtension, grid);
        const std::string name = worldName(data_.folder, grid);
        messages_ += "tharvok-replay: cannot read the start world (" +
                     (name.empty() ? "" : shown(name) + ": ") + shown(grid) + " and " +
                     std::string(infoExtension) + ") in " + folderName(data_.folder);
        if (!options_.data && setup.data) {
            messages_ += " (nor in the data folder the recording names, " + folderName(*setup.data);
            for (std::size_t i = 0; i < data_.beside.size(); ++i) {
                messages_ += (i == 0 ? ", nor beside tharvok-replay in " : " or ") +
                             folderName(data_.beside[i]);
            }
            messages_ += ")";
        }
        messages_ += ": name the data folder with --data DIR\n";
    }

    std::string finalScreenText(Runner& runner) {
        const Snapshot shot = runner.finalScreen();
        std::string text = platform::screenText(shot.cells);
        if (options_.finalAttrs) {
            text += platform::screenColours(shot.cells);
        }
        return text;
    }

    bool writeFinalScreen(Runner& runner, const std::string& path) {
        const std::string text = finalScreenText(runner);
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(text.data(), static_cast<std::streamsize>(text.size()));
        file.close();
        if (!file) {
            err_ << "tharvok-replay: cannot write " << inQuotes(path) << "\n";
            return false;
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
                                 "longer than " + std::to_string(script::maxLineBytes) + " bytes")
                 << "\n";
            return false;
        }
        return cannotRead("");
    }

    const Options& options_;
    std::optional<ConfigFile> config_;
    std::ostream& err_;
    std::string scriptName_;
    std::string error_;
    std::string messages_;
    DataChoice data_;
    // The script began as a recording does.
    bool recording_ = false;
};

} // namespace

int playScript(const Options& options, std::optional<ConfigFile> config, std::istream& in,
               std::ostream& out, std::ostream& err) {
    const std::unique_ptr<ReplayConsole> console = makeReplayConsole(options.console);
    if (!console) {
        return exitUsage;
    }
    Replay replay(options, std::move(config), err);
    if (options.scriptPath == "-") {
        ScriptReader reader(in);
        return replay.run(reader, *console, out);
    }
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

} // namespace replay
