#include "app/CommandLine.h"

#include "app/DataSearch.h"
#include "app/KeyHelp.h"
#include "platform/VirtualKeys.h"

#include <algorithm>
#include <cstddef>

namespace {

// The option an argument names: "--data" for "--data" and "--data=DIR".
std::string_view optionName(std::string_view arg) { return arg.substr(0, arg.find('=')); }

} // namespace

bool parseCommandLine(std::span<const std::string> args, CommandLine& line, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            line.help = true;
        } else if (arg == "--version") {
            line.version = true;
        } else if (arg == "--overwrite") {
            line.overwrite = true;
        } else if (arg == "--speak") {
            line.speak = true;
        } else if (const std::string_view option = optionName(arg);
                   option == "--data" || option == "--record") {
            std::string value;
            if (arg == option) {
                if (i + 1 >= args.size()) {
                    error = std::string(option) + " needs " +
                            (option == "--data" ? "a folder" : "a file");
                    return false;
                }
                value = args[++i];
            } else {
                value = arg.substr(option.size() + 1);
            }
            if (value.empty()) {
                error =
                    std::string(option) + " needs " + (option == "--data" ? "a folder" : "a file");
                return false;
            }
            (option == "--data" ? line.data : line.record) = std::filesystem::path(value);
        } else {
            error = "unknown argument '" + arg + "'";
            return false;
        }
    }
    if (line.overwrite && !line.record) {
        error = "--overwrite goes with --record FILE: it lets the recording replace a file";
        return false;
    }
    return true;
}

std::string_view gameVersion() { return THARVOK_VERSION; }

std::string versionText() { return "tharvok " + std::string(gameVersion()); }

std::string helpText(const DataSearch& search, const KeyCodes& keys,
                     const std::string& configIgnored) {
    std::string text =
        "usage: tharvok [--data DIR] [--record FILE [--overwrite]] [--speak]\n"
        "       tharvok --help | --version\n"
        "\n"
        "A small adventure in an 80 x 25 text console: walk the smiling glyph over the\n"
        "map, follow paths to other worlds, hold the panel key to see the time and where\n"
        "you stand.\n"
        "\n"
        "options:\n"
        "  --data DIR      read config.ini and bin/world/ from DIR only\n"
        "  --record FILE   write the game, as it is played, to FILE as a script for\n"
        "                  tharvok-replay (which replays it exactly); a FILE that exists\n"
        "                  is left alone\n"
        "  --overwrite     let --record replace a FILE that exists (only with --record)\n"
        "  --speak         play by ear: no screen is drawn, what happens is written as\n"
        "                  one sentence a line for a screen reader; D describes the\n"
        "                  surroundings\n"
        "  --help          print this and exit\n"
        "  --version       print the version and exit\n"
        "\n"
        "environment:\n"
        "  THARVOK_UTF8=1  draw in UTF-8 where the locale's character set is not (else a\n"
        "                  terminal that is not UTF-8 gets ASCII look-alikes)\n"
        "\n"
        "keys (as " +
        search.configFile.string() + " binds them):\n";
    if (!configIgnored.empty()) {
        text += "  none but Escape and F1: the game ignores that file, which\n  " + configIgnored +
                "\n";
    }
    for (const KeySlot slot : helpOrder) {
        const Action& row = action(slot);
        std::string name(row.help);
        name.resize(std::max<std::size_t>(name.size(), 21), ' ');
        text += "  " + name + " " + actionKeys(row, keys) + "\n";
    }
    text += "\ndata folders, in the order they are looked in (the first whose bin/world/\n"
            "holds the start world is used, marked *):\n";
    for (const std::filesystem::path& folder : search.tried) {
        text += (folder == search.found ? "* " : "  ") + folder.string() + "\n";
    }
    if (search.found.empty()) {
        text += "none of them holds the start world\n";
    }
    return text;
}
