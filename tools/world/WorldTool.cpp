#include "WorldTool.h"

#include "Check.h"
#include "Commands.h"
#include "DataFolder.h"
#include "Report.h"

#include "app/CommandLine.h"

#include <array>
#include <filesystem>
#include <ostream>
#include <string_view>

namespace worldtool {

namespace {

struct CommandHelp {
    std::string_view name;
    std::string_view usage;
    std::string_view text;   // what it does, and its own options
    std::string_view status; // its exit status
};

constexpr std::array<CommandHelp, 4> commands = {{
    {"check", "check [--strict] [--data DIR]",
     "Checks every world of DIR/bin/world/ and DIR/config.ini against what the game makes of\n"
     "them. Each problem is one line, FILE:LINE:COLUMN: error|warning: what, with lines and\n"
     "columns from 1; errors come first, then warnings, then a summary.\n"
     "\n"
     "  --strict    also hold the worlds to the shipped adventure's rules (every arrival next to\n"
     "              a way back, every link reachable without crossing another link cell), and\n"
     "              count every warning as an error\n",
     "Exit status: 0 no errors, 1 errors found, 2 usage error.\n"},
    {"show", "show STEM [--plain] [--data DIR]",
     "Draws the world STEM (or a path to its .wgf or .wif) as the game draws it, in its colours\n"
     "and glyphs, with each link cell numbered and a legend: the link's cell, caption, the\n"
     "world it leads to and where the player arrives.\n"
     "\n"
     "  --plain     text only, without colours (the default when the output is not a terminal)\n",
     "Exit status: 0 shown, 1 the world cannot be loaded, 2 usage error.\n"},
    {"graph", "graph [--table] [--data DIR]",
     "Writes the worlds and their links as a Graphviz DOT graph: worlds labelled with their\n"
     "names (the start world drawn double), links with their captions; links the game never\n"
     "uses and worlds that cannot be loaded are dashed. For a picture:\n"
     "  tharvok-world graph | dot -Tsvg > worlds.svg\n"
     "\n"
     "  --table     a plain table of the worlds and their links instead\n",
     "Exit status: 0 written, 2 usage error.\n"},
    {"new", "new WORD1 WORD2 [--data DIR]",
     "Makes a fresh world named by the two words under a free stem of 32 hexadecimal digits in\n"
     "DIR/bin/world/: a grid of 25 rows of 80 cells (a border of ';' around a ground of ','),\n"
     "and a .wif with the name and no links. Prints the stem.\n",
     "Exit status: 0 made, 1 the files cannot be written, 2 usage error.\n"},
}};

constexpr std::string_view dataHelp =
    "  --data DIR  the data folder: DIR/config.ini and DIR/bin/world/ (default: the working\n"
    "              directory)\n"
    "  --help      this text\n";

void printUsage(std::ostream& out) {
    out << "usage: tharvok-world COMMAND [ARGS] [--data DIR]\n"
           "       tharvok-world --help | --version\n"
           "\n"
           "Tools for world authors. They read a data folder (config.ini and bin/world/) with the\n"
           "game's own loaders, so they never disagree with the game about what a file means.\n"
           "\n"
           "Commands:\n";
    for (const CommandHelp& command : commands) {
        out << "  tharvok-world " << command.usage << '\n';
    }
    out << "\n" << dataHelp << "\nEach command takes --help.\n";
}

struct Arguments {
    std::filesystem::path data = defaultDataFolder();
    std::vector<std::string> words;
    std::vector<std::string> flags;
    bool help = false;
};

// Splits what follows the command; false with a message on an unknown option.
bool parse(const std::vector<std::string>& args, const std::vector<std::string_view>& known,
           Arguments& parsed, std::string& error) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            parsed.help = true;
        } else if (arg == "--data") {
            if (i + 1 >= args.size()) {
                error = "--data needs a folder";
                return false;
            }
            parsed.data = args[++i];
        } else if (arg == "--") {
            parsed.words.insert(parsed.words.end(), args.begin() + static_cast<long>(i) + 1,
                                args.end());
            break;
        } else if (arg.size() > 1 && arg[0] == '-') {
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
    return true;
}

bool has(const Arguments& parsed, std::string_view flag) {
    for (const std::string& f : parsed.flags) {
        if (f == flag) {
            return true;
        }
    }
    return false;
}

// The stem that an argument names: a stem, or a path to one of the world's files.
std::string stemOf(const std::string& arg) {
    const std::filesystem::path path(arg);
    const std::string extension = path.extension().string();
    if (extension == gridExtension || extension == infoExtension) {
        return path.stem().string();
    }
    return arg;
}

int check(DataFolder& data, bool strict, std::ostream& out) {
    Report report;
    if (strict) {
        report.warningsAreErrors();
    }
    const CheckTotals totals = checkWorlds(data, strict, report);
    checkConfig(data, report);
    report.print(out);
    out << counted(totals.worlds, "world", "worlds") << ", "
        << counted(totals.links, "link", "links") << ": "
        << counted(report.errors(), "error", "errors") << ", "
        << counted(report.warnings(), "warning", "warnings") << '\n';
    return report.errors() > 0 ? exitProblems : exitClean;
}

} // namespace

int worldMain(const std::vector<std::string>& args, bool colour, std::ostream& out,
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
                          : std::vector<std::string_view>{};
    const std::size_t wordCount = name == "show" ? 1 : name == "new" ? 2 : 0;
    Arguments parsed;
    std::string error;
    if (parse(args, flags, parsed, error) && !parsed.help && parsed.words.size() != wordCount) {
        error = parsed.words.size() < wordCount ? "too few arguments" : "too many arguments";
    }
    if (parsed.help && error.empty()) {
        out << "usage: tharvok-world " << command->usage << "\n\n"
            << command->text << "\n"
            << dataHelp << "\n"
            << command->status;
        return exitClean;
    }
    if (!error.empty()) {
        err << "tharvok-world " << name << ": " << error << "\n"
            << "usage: tharvok-world " << command->usage << "\n";
        return exitUsage;
    }
    std::error_code code;
    if (!std::filesystem::is_directory(parsed.data, code)) {
        err << "tharvok-world " << name << ": no data folder " << inQuotes(parsed.data.string())
            << "\n";
        return exitUsage;
    }
    DataFolder data(parsed.data);
    if (name == "check") {
        return check(data, has(parsed, "--strict"), out);
    }
    if (name == "show") {
        return showWorld(data, stemOf(parsed.words[0]), colour && !has(parsed, "--plain"), out,
                         err);
    }
    if (name == "graph") {
        return graphWorlds(data, has(parsed, "--table"), out, err);
    }
    return newWorld(data, parsed.words[0], parsed.words[1], out, err);
}

} // namespace worldtool
