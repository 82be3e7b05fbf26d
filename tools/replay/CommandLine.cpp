#include "Replay.h"

#include "app/CommandLine.h"
#include "platform/FileReader.h"
#include "replay/Script.h"

#include <exception>
#include <filesystem>
#include <ostream>
#include <string_view>
#include <utility>
#include <vector>

namespace replay {

namespace {

// The options that take a value, and where it goes.
struct ValueOption {
    std::string_view name;
    std::string Options::*text;
};

constexpr ValueOption textOptions[] = {
    {"--out", &Options::outPath},
    {"--svg-dir", &Options::svgDir},
    {"--asciicast", &Options::asciicastPath},
    {"--final-screen", &Options::finalScreenPath},
};

// True when `output` is the file `input` (the same file by its identity: another name for it, or
// a link to it, is the same); false when either is missing.
bool sameFile(const std::filesystem::path& input, const std::string& output) {
    std::error_code error;
    return !output.empty() && output != "-" && std::filesystem::equivalent(input, output, error) &&
           !error;
}

// An output that would replace what the replay reads (its script, or the configuration it is
// given) is refused before anything is written: a recording is not lost to a slip of the hand.
bool outputsSpareInputs(const Options& options, std::ostream& err) {
    std::vector<std::pair<std::string_view, std::filesystem::path>> inputs;
    if (options.scriptPath != "-") {
        inputs.emplace_back("the script", options.scriptPath);
    } else {
        // Standard input redirected from a file is that file, where the system can name it.
        std::error_code error;
        const std::filesystem::path standardInput = "/dev/stdin";
        if (std::filesystem::is_regular_file(standardInput, error)) {
            inputs.emplace_back("the script", standardInput);
        }
    }
    if (options.config) {
        inputs.emplace_back("the configuration", *options.config);
    }
    const std::pair<std::string_view, const std::string*> outputs[] = {
        {"--out", &options.outPath},
        {"--asciicast", &options.asciicastPath},
        {"--final-screen", &options.finalScreenPath},
    };
    for (const auto& [option, output] : outputs) {
        for (const auto& [what, input] : inputs) {
            if (sameFile(input, *output)) {
                err << "tharvok-replay: " << option << " " << script::inQuotes(*output) << " is "
                    << what << " the replay reads: nothing is written\n";
                return false;
            }
        }
    }
    return true;
}

int replayUnguarded(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                    std::ostream& err, const std::filesystem::path& programFolder) {
    Options options;
    options.programFolder = programFolder;
    std::string error;
    if (!parseArguments(args, options, error)) {
        err << "tharvok-replay: " << error << "\n" << usageText();
        return exitUsage;
    }
    if (options.help || options.version) {
        out << (options.help ? helpText() : "tharvok-replay " + versionText().substr(8) + "\n");
        return out.flush() ? exitPlayed : exitUsage;
    }
    if (!outputsSpareInputs(options, err)) {
        return exitUsage;
    }
    std::optional<ConfigFile> config;
    if (options.config) {
        std::string bytes;
        if (platform::readWholeFile(*options.config, bytes) != platform::FileStatus::Ok) {
            err << "tharvok-replay: cannot read the configuration "
                << script::inQuotes(*options.config) << "\n";
            return exitUsage;
        }
        config.emplace().parse(bytes);
    }
    return playScript(options, std::move(config), in, out, err);
}

} // namespace

bool parseArguments(const std::vector<std::string>& args, Options& options, std::string& error) {
    bool haveScript = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--version") {
            options.version = true;
            continue;
        }
        if (arg == "--attrs") {
            options.finalAttrs = true;
            continue;
        }
        const bool known = arg == "--data" || arg == "--dir" || arg == "--config" ||
                           arg == "--local-time" || arg == "--console" || arg == "--out" ||
                           arg == "--svg-dir" || arg == "--asciicast" || arg == "--final-screen";
        if (known) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            const std::string& value = args[++i];
            if (arg == "--data" || arg == "--dir") {
                options.data = value;
            } else if (arg == "--config") {
                options.config = value;
            } else if (arg == "--console") {
                if (!makeReplayConsole(value)) {
                    error = "no console " + script::inQuotes(value) + " here";
                    return false;
                }
                options.console = value;
            } else if (arg == "--local-time") {
                if (!script::readLocalTime(value, options.localTime)) {
                    error = "--local-time takes HH:MM:SS, not " + script::inQuotes(value);
                    return false;
                }
            } else {
                for (const ValueOption& option : textOptions) {
                    if (arg == option.name) {
                        options.*option.text = value;
                    }
                }
            }
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            error = "unknown option " + script::inQuotes(arg);
            return false;
        } else if (haveScript) {
            error = "only one script can be given";
            return false;
        } else {
            options.scriptPath = arg;
            haveScript = true;
        }
    }
    if (options.finalAttrs && options.finalScreenPath.empty()) {
        error = "--attrs goes with --final-screen FILE";
        return false;
    }
    return true;
}

std::string usageText() {
    return "usage: tharvok-replay [--data DIR] [--config FILE] [--local-time HH:MM:SS] "
           "[--console NAME] [--out FILE] [--svg-dir DIR] [--asciicast FILE] "
           "[--final-screen FILE [--attrs]] [SCRIPT]\n";
}

std::string helpText() {
    return "usage: tharvok-replay [--data DIR] [--config FILE] [--local-time HH:MM:SS]\n"
           "                      [--out FILE] [--final-screen FILE [--attrs]]\n"
           "                      [--asciicast FILE] [--svg-dir DIR] [--console NAME]\n"
           "                      [SCRIPT]\n"
           "       tharvok-replay --help | --version\n"
           "\n"
           "Plays the game headless from a script of frames and keys (a recording made\n"
           "with tharvok --record, or one written by hand; standard input when SCRIPT is\n"
           "absent or '-') and prints the screens the script asks for.\n"
           "\n"
           "options:\n"
           "  --data DIR          read bin/world/ (and config.ini) from DIR (also --dir).\n"
           "                      Default: the data folder a recording names, else the\n"
           "                      working directory, else (for a recording; said on\n"
           "                      standard error) the folder of tharvok-replay, else\n"
           "                      ../share/tharvok from it: the first that holds the\n"
           "                      start world (none: the working directory)\n"
           "  --config FILE       bind the keys from FILE, not from the config.ini the\n"
           "                      recording carries (nor from the data folder's); the\n"
           "                      keys it binds otherwise are said on standard error\n"
           "  --local-time HH:MM:SS\n"
           "                      the local time of day the game starts at (default\n"
           "                      12:00:00; a recording's local-time line wins)\n"
           "  --out FILE          write what the script prints to FILE\n"
           "  --final-screen FILE\n"
           "                      write the last screen before the game ended (before the\n"
           "                      farewell of a quit) or the script ran out to FILE ('-':\n"
           "                      standard output, after everything else)\n"
           "  --attrs             with --final-screen: the screen's colours too\n"
           "  --asciicast FILE    write a terminal recording (asciicast v2) of the replay\n"
           "  --svg-dir DIR       where the script's svg lines draw their pictures\n"
           "  --console NAME      virtual (the default), or win32 on Windows\n"
           "  --help, -h          print this and exit\n"
           "  --version           print the version and exit\n"
           "\n"
           "exit status: 0 played, 1 the start world cannot be read, 2 usage error,\n"
           "malformed script, output that cannot be written or that would replace the\n"
           "script, 3 played, but a world file differs from the one the recording was made\n"
           "with, 4 played, but the recording was cut short (its last, unfinished line is\n"
           "not played). Standard error says which file or line.\n";
}

int replayMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               std::ostream& err, const std::filesystem::path& programFolder) {
    // Whatever fails on the way (memory, a path that cannot be converted) is a message, never an
    // abort.
    try {
        return replayUnguarded(args, in, out, err, programFolder);
    } catch (const std::exception& failure) {
        err << "tharvok-replay: " << script::shown(failure.what()) << "\n";
        return exitUsage;
    }
}

} // namespace replay
