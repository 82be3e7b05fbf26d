#include "WorldTool.h"

#include "Check.h"
#include "Commands.h"
#include "DataFolder.h"
#include "Report.h"
#include "WorldNames.h"

#include "app/CommandLine.h"
#include "config/ConfigFile.h"
#include "platform/FileReader.h"

#include <array>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string_view>

namespace worldtool {

namespace {

namespace fs = std::filesystem;

struct CommandHelp {
    std::string_view name;
    std::string_view usage;
    std::string_view text;   // what it does, and its own options
    std::string_view status; // its exit status
};

constexpr std::array<CommandHelp, 6> commands = {{
    {"check", "check [--strict] [--data DIR | --config FILE]",
     "Checks every world of DIR/bin/world/ and DIR/config.ini against what the game\n"
     "makes of them; without --data, also the player's own config.ini when there is\n"
     "one, since the game reads that one. Each problem is one line,\n"
     "FILE:LINE:COLUMN: error|warning: WORLD: what, with lines and columns from 1\n"
     "and the name of the world whose file it is; errors come first, then warnings,\n"
     "then a summary. An action the game needs (the four moves, use, select, the\n"
     "panel) left without a key is an error, and so is a key bound to two actions\n"
     "(the game never sees it newly pressed), a key's name where the game reads a\n"
     "character or a number (cMoveUp = Up binds U) and a config.ini the game\n"
     "ignores (one larger than 1 MiB, or not a regular file).\n"
     "\n"
     "  --config FILE  check FILE alone, as the game reads a config.ini\n"
     "  --strict       also hold the worlds to the shipped adventure's rules (every\n"
     "                 arrival next to a way back, every link reachable without\n"
     "                 crossing another link cell); every warning counts as an error\n",
     "Exit status: 0 no errors, 1 errors found, 2 usage error or no data folder.\n"},
    {"show", "show WORLD [--plain] [--data DIR]",
     "Draws a world as the game draws it, in its colours and glyphs, each link cell\n"
     "numbered; then, on standard error, its name, its file and a legend: each\n"
     "link's cell, caption, the world it leads to and where the player arrives.\n"
     "WORLD is a stem, the start of one, a world's name (its two header words) or\n"
     "a path to a .wgf or .wif.\n"
     "\n"
     "  --plain     text only, without colours (the default when the output is not\n"
     "              a terminal)\n",
     "Exit status: 0 shown, 1 no such world or it cannot be loaded, 2 usage error.\n"},
    {"graph", "graph [--table] [--data DIR]",
     "Writes the worlds and their links as a Graphviz DOT graph: worlds labelled with\n"
     "their names (the start world drawn double), links with their captions; links\n"
     "the game never uses and worlds that cannot be loaded are dashed. A picture:\n"
     "  tharvok-world graph | dot -Tsvg > worlds.svg\n"
     "\n"
     "  --table     a plain table of the worlds and their links instead\n",
     "Exit status: 0 written, 2 usage error or no data folder.\n"},
    {"new", "new WORD1 WORD2 [--data DIR]",
     "Makes a fresh world named by the two words under a free stem of 32 hexadecimal\n"
     "digits in DIR/bin/world/: a full grid (a border of ';' around a ground of\n"
     "','), and a .wif with the name and no links. Prints the paths of the two\n"
     "files.\n",
     "Exit status: 0 made, 1 the files cannot be written, 2 usage error or no data\n"
     "folder.\n"},
    {"link",
     "link FROM X Y TO X Y CAPTION [--back X Y AX AY CAPTION]\n"
     "                     [--make-path] [--data DIR]",
     "Adds a link on the cell (X, Y) of the world FROM that leads to the world TO,\n"
     "arriving at its cell (X, Y), with CAPTION (one word, at most 74 characters of\n"
     "printable ASCII). FROM and TO are taken as show takes WORLD. It writes TO's\n"
     "stem and raises the link count, and keeps every other byte of the files and\n"
     "their line ends. It refuses, and writes nothing, when a cell is outside the\n"
     "map, the link's cell is not a '-', the cell has a link already, a caption the\n"
     "game would not show as written, or a world file that holds an error.\n"
     "\n"
     "  --back X Y AX AY CAPTION\n"
     "               also a way back: a link on TO's cell (X, Y) that leads to FROM,\n"
     "               arriving at (AX, AY)\n"
     "  --make-path  write the '-' into the grid where a link's cell holds another\n"
     "               character\n",
     "Exit status: 0 written, 1 refused, no such world, or a file cannot be written,\n"
     "2 usage error or no data folder.\n"},
    {"init", "init DIR",
     "Starts a data folder of your own: copies the game's config.ini and worlds into\n"
     "DIR, which must be new or an empty folder. Then: cd DIR, tharvok-world new ...,\n"
     "and tharvok --data DIR plays it. When a folder or file cannot be written (a\n"
     "full disk, a read-only place), it says which and removes what it made, DIR\n"
     "too when it made DIR.\n",
     "Exit status: 0 made, 1 DIR is not empty or cannot be written, 2 usage error.\n"},
}};

constexpr std::string_view dataHelp =
    "  --data DIR  the data folder, which holds config.ini and bin/world/ (default:\n"
    "              the working directory; the tools never guess another)\n"
    "  --help, -h  print this and exit\n";

void printUsage(std::ostream& out) {
    out << "usage: tharvok-world COMMAND [ARGS] [--data DIR]\n"
           "       tharvok-world --help | --version\n"
           "\n"
           "Tools for world authors. They read a data folder (config.ini and bin/world/)\n"
           "with the game's own loaders, so they never disagree with the game about what\n"
           "a file means.\n"
           "\n"
           "Commands:\n";
    for (const CommandHelp& command : commands) {
        out << "  tharvok-world " << command.usage << '\n';
    }
    out << "\n"
        << dataHelp << "  --version   print the version and exit\n\nEach command takes --help.\n";
}

struct Arguments {
    std::optional<fs::path> data;
    std::optional<fs::path> config;
    std::vector<std::string> words;
    std::vector<std::string> flags;
    std::vector<std::string> back; // link's --back X Y AX AY CAPTION
    bool help = false;
};

// A number below 0 is a word, not an option.
bool isNegativeNumber(const std::string& arg) {
    return arg.size() > 1 && arg[0] == '-' &&
           arg.find_first_not_of("0123456789", 1) == std::string::npos;
}

// Splits what follows the command; false with a message on an unknown option.
bool parse(const std::vector<std::string>& args, const std::vector<std::string_view>& known,
           Arguments& parsed, std::string& error) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            parsed.help = true;
        } else if (arg == "--data" || (arg == "--config" && args[0] == "check")) {
            if (i + 1 >= args.size()) {
                error = arg + (arg == "--data" ? " needs a folder" : " needs a file");
                return false;
            }
            (arg == "--data" ? parsed.data : parsed.config) = args[++i];
        } else if (arg == "--back" && args[0] == "link") {
            if (!parsed.back.empty() || i + 5 >= args.size()) {
                error = parsed.back.empty() ? "--back needs X Y AX AY CAPTION"
                                            : "--back is given twice";
                return false;
            }
            parsed.back.assign(args.begin() + static_cast<long>(i) + 1,
                               args.begin() + static_cast<long>(i) + 6);
            i += 5;
        } else if (arg == "--") {
            parsed.words.insert(parsed.words.end(), args.begin() + static_cast<long>(i) + 1,
                                args.end());
            break;
        } else if (arg.size() > 1 && arg[0] == '-' && !isNegativeNumber(arg)) {
            bool ok = false;
            for (const std::string_view flag : known) {
                ok = ok || arg == flag;
            }
            if (!ok) {
                error = "unknown option " + inQuotes(arg);
                return false;
            }
            parsed.flags.push_back(arg);
        } else {
            parsed.words.push_back(arg);
        }
    }
    if (parsed.data && parsed.config) {
        error = "--data and --config do not go together: --config checks one file alone";
    } else if (parsed.data && args[0] == "init") {
        error = "init makes a data folder: name it as DIR, without --data";
    } else if (args[0] == "init" && parsed.words.size() == 1 && parsed.words[0].empty()) {
        error = "DIR is empty: name the folder to make (\".\" for the working directory)";
    }
    return error.empty();
}

bool has(const Arguments& parsed, std::string_view flag) {
    for (const std::string& f : parsed.flags) {
        if (f == flag) {
            return true;
        }
    }
    return false;
}

// Checks one config.ini, named `shown` in the messages.
void checkConfigAt(const fs::path& file, const std::string& shown, Report& report) {
    std::string text;
    const platform::FileStatus status = platform::readWholeFile(file, text);
    checkConfig(shown, status, text, report);
}

void printSummary(const Report& report, std::ostream& out) {
    out << counted(report.errors(), "error", "errors") << ", "
        << counted(report.warnings(), "warning", "warnings") << '\n';
}

int check(const Arguments& parsed, const ToolSetting& setting, DataFolder* data, std::ostream& out,
          std::ostream& err) {
    const bool strict = has(parsed, "--strict");
    Report report;
    if (strict) {
        report.warningsAreErrors();
    }
    if (data == nullptr) {
        checkConfigAt(*parsed.config, parsed.config->string(), report);
        report.print(out);
        printSummary(report, out);
        return report.errors() > 0 ? exitProblems : exitClean;
    }
    const CheckTotals totals = checkWorlds(*data, strict, report);
    checkConfigAt(data->path() / configFileName, configFileName, report);
    if (!parsed.data && !setting.userConfig.empty()) {
        err << "tharvok-world: and the player's own " << escaped(setting.userConfig.string())
            << ", which the game reads in place of config.ini\n";
        checkConfigAt(setting.userConfig, setting.userConfig.string(), report);
    }
    report.print(out);
    out << counted(totals.worlds, "world", "worlds") << ", "
        << counted(totals.links, "link", "links") << ": ";
    printSummary(report, out);
    return report.errors() > 0 ? exitProblems : exitClean;
}

} // namespace

std::string worldNamed(DataFolder& data, const std::string& arg, std::string_view command,
                       std::ostream& err) {
    const fs::path path(arg);
    const std::string extension = path.extension().string();
    if (extension == gridExtension || extension == infoExtension) {
        return path.stem().string();
    }
    std::vector<std::string> matches;
    std::string stem = data.find(arg, matches);
    if (!stem.empty()) {
        return stem;
    }
    if (matches.empty()) {
        err << "tharvok-world " << command << ": no world's name or stem is " << inQuotes(arg)
            << " or starts so";
        std::optional<std::string> near = data.nearStem(arg);
        if (!near) {
            near = data.nearName(arg);
        }
        if (!near) {
            // One word of a world's name, as a link list's author may have meant it.
            std::vector<std::string> others;
            const std::vector<std::string> named =
                worldsNamedBy(data, data.listWorlds(others), arg);
            if (named.size() == 1) {
                near = data.world(named.front()).name();
            }
        }
        if (near) {
            err << " (did you mean " << inQuotes(*near) << "?)";
        }
        err << "\n";
        return {};
    }
    err << "tharvok-world " << command << ": " << inQuotes(arg) << " names " << matches.size()
        << " worlds; give more of the stem:\n";
    for (const std::string& match : matches) {
        err << "  " << escaped(match) << "  " << glyphs(data.world(match).name()) << "\n";
    }
    return {};
}

int worldMain(const std::vector<std::string>& args, const ToolSetting& setting, std::ostream& out,
              std::ostream& err) {
    if (args.empty()) {
        printUsage(err);
        return exitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printUsage(out);
        return exitClean;
    }
    if (args[0] == "--version") {
        out << "tharvok-world " << versionText().substr(8) << '\n';
        return exitClean;
    }
    const CommandHelp* command = nullptr;
    for (const CommandHelp& c : commands) {
        command = args[0] == c.name ? &c : command;
    }
    if (command == nullptr) {
        err << "tharvok-world: unknown command " << inQuotes(args[0]) << "\n";
        printUsage(err);
        return exitUsage;
    }
    const std::string_view name = command->name;
    const std::vector<std::string_view> flags =
        name == "check"   ? std::vector<std::string_view>{"--strict"}
        : name == "show"  ? std::vector<std::string_view>{"--plain"}
        : name == "graph" ? std::vector<std::string_view>{"--table"}
        : name == "link"  ? std::vector<std::string_view>{"--make-path"}
                          : std::vector<std::string_view>{};
    const std::size_t wordCount = name == "show" || name == "init" ? 1
                                  : name == "new"                  ? 2
                                  : name == "link"                 ? 7
                                                                   : 0;
    Arguments parsed;
    std::string error;
    if (parse(args, flags, parsed, error) && !parsed.help && parsed.words.size() != wordCount) {
        error = parsed.words.size() < wordCount ? "too few arguments" : "too many arguments";
    }
    if (parsed.help && error.empty()) {
        out << "usage: tharvok-world " << command->usage << "\n\n" << command->text << "\n";
        if (name != "init") {
            out << dataHelp << "\n";
        }
        out << command->status;
        return exitClean;
    }
    if (!error.empty()) {
        err << "tharvok-world " << name << ": " << error << "\n"
            << "usage: tharvok-world " << command->usage << "\n";
        return exitUsage;
    }
    if (name == "init") {
        return initFolder(setting.shippedData, parsed.words[0], out, err);
    }
    if (parsed.config) {
        return check(parsed, setting, nullptr, out, err);
    }
    // The data folder is named, never guessed: --data, or the working directory.
    const fs::path folder = parsed.data.value_or(fs::path("."));
    std::error_code code;
    const std::string shown =
        parsed.data ? escaped(folder.string())
                    : escaped(fs::current_path(code).string()) + " (the working directory)";
    DataFolder data(folder);
    if (!data.hasWorldFolder()) {
        err << "tharvok-world " << name << ": " << shown << " is not a data folder: it has no "
            << escaped(std::string(worldDirectory))
            << "\nStart one of your own with: tharvok-world init DIR\n";
        return exitUsage;
    }
    if (name != "show") {
        err << "tharvok-world: data folder " << shown << "\n";
    }
    if (name == "check") {
        return check(parsed, setting, &data, out, err);
    }
    if (name == "show") {
        const std::string stem = worldNamed(data, parsed.words[0], name, err);
        if (stem.empty()) {
            return exitProblems;
        }
        // The map first; the folder goes into the heading after it.
        return showWorld(data, stem, shown, setting.colour && !has(parsed, "--plain"), out, err);
    }
    if (name == "graph") {
        return graphWorlds(data, has(parsed, "--table"), out, err);
    }
    if (name == "link") {
        return linkWorlds(data, {parsed.words, parsed.back, has(parsed, "--make-path")}, out, err);
    }
    return newWorld(data, parsed.words[0], parsed.words[1], out, err);
}

} // namespace worldtool
