#include "app/CommandLine.h"

#include "app/DataSearch.h"
#include "platform/VirtualKeys.h"

#include <array>
#include <cstddef>

namespace {

constexpr std::array<std::string_view, keySlotCount> actionNames = {
    "back to the title screen; quit from it",
    "move up",
    "move down",
    "move left",
    "move right",
    "follow a path you stand on; choose in the menu",
    "choose in the menu",
    "rest (not yet)",
    "save (not yet)",
    "load (not yet)",
    "inventory (not yet)",
    "status panel, while held",
};

} // namespace

bool parseCommandLine(std::span<const std::string> args, CommandLine& line, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            line.help = true;
        } else if (arg == "--version") {
            line.version = true;
        } else if (arg == "--data" || arg.rfind("--data=", 0) == 0) {
            std::string value;
            if (arg == "--data") {
                if (i + 1 >= args.size()) {
                    error = "--data needs a folder";
                    return false;
                }
                value = args[++i];
            } else {
                value = arg.substr(7);
            }
            if (value.empty()) {
                error = "--data needs a folder";
                return false;
            }
            line.data = std::filesystem::path(value);
        } else {
            error = "unknown argument '" + arg + "'";
            return false;
        }
    }
    return true;
}

std::string versionText() { return std::string("tharvok ") + THARVOK_VERSION; }

std::string_view actionName(KeySlot slot) {
    const auto index = static_cast<std::size_t>(slot);
    return index < actionNames.size() ? actionNames[index] : std::string_view();
}

std::string helpText(const DataSearch& search, const KeyCodes& keys) {
    std::string text =
        "usage: tharvok [--data DIR]\n"
        "       tharvok --help | --version\n"
        "\n"
        "A small adventure in an 80 x 25 text console: walk the smiling glyph over the map,\n"
        "follow paths to other worlds, hold the panel key to see the time and where you stand.\n"
        "\n"
        "options:\n"
        "  --data DIR   read config.ini and bin/world/ from DIR only\n"
        "  --help       print this and exit\n"
        "  --version    print the version and exit\n"
        "\n"
        "keys (as " +
        search.configFile.string() + " binds them):\n";
    for (std::size_t slot = 0; slot < keys.size(); ++slot) {
        const std::int32_t code = keys[slot];
        std::string key = code != 0 ? platform::vk::displayName(code) : "not bound";
        key.resize(std::max<std::size_t>(key.size(), 18), ' ');
        text += "  " + key + " " + std::string(actionName(static_cast<KeySlot>(slot))) + "\n";
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
