#include "PlayedWith.h"

#include "app/DataSearch.h"
#include "config/KeyBindings.h"
#include "platform/FileReader.h"
#include "platform/VirtualKeys.h"
#include "replay/Script.h"
#include "world/WorldFiles.h"

#include <algorithm>
#include <cstddef>

namespace replay {

namespace fs = std::filesystem;

DataChoice chooseDataFolder(const std::optional<std::string>& given,
                            const std::optional<std::string>& recorded,
                            const fs::path& programFolder) {
    DataChoice choice;
    if (given) {
        choice.folder = *given;
        return choice;
    }
    choice.folder = ".";
    if (!recorded) {
        return choice;
    }
    if (holdsStartWorld(*recorded)) {
        choice.folder = *recorded;
        return choice;
    }
    if (programFolder.empty() || holdsStartWorld(choice.folder)) {
        return choice;
    }
    // The game's own search, without its first folder (the working directory, looked in above).
    choice.beside = dataFolderCandidates(std::nullopt, programFolder);
    choice.beside.erase(choice.beside.begin());
    for (const fs::path& folder : choice.beside) {
        if (holdsStartWorld(folder)) {
            choice.folder = folder;
            choice.foundBeside = true;
            break;
        }
    }
    return choice;
}

std::string worldName(const fs::path& dataFolder, std::string_view written) {
    // Only a file of the world folder names a world: a path from a script leads nowhere else.
    std::string slashed(written);
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    const std::string_view path = slashed;
    const std::string_view folder = "bin/world/";
    const std::size_t dot = path.rfind('.');
    if (!path.starts_with(folder) || dot == std::string_view::npos || dot < folder.size()) {
        return {};
    }
    const std::string_view stem = path.substr(folder.size(), dot - folder.size());
    const std::string_view extension = path.substr(dot);
    std::string info;
    if ((extension != gridExtension && extension != infoExtension) ||
        !worldFilePath(stem, infoExtension, info)) {
        return {};
    }
    std::string bytes;
    if (platform::readWholeFile(dataFolder / info, bytes) != platform::FileStatus::Ok) {
        return {};
    }
    const WorldInfo read = readInfo(bytes);
    return read.firstNameWord.empty() ? std::string()
                                      : read.firstNameWord + " " + read.secondNameWord;
}

std::string worldMessage(const fs::path& dataFolder, std::string_view path,
                         std::string_view severity, std::string_view what) {
    std::string message = script::shown(path) + ": " + std::string(severity) + ": ";
    if (const std::string name = worldName(dataFolder, path); !name.empty()) {
        message += script::shown(name) + ": ";
    }
    return message.append(what).append("\n");
}

std::string keysDiffering(const ConfigFile& recorded, const ConfigFile& given) {
    const KeyCodes then = bindKeys(recorded);
    const KeyCodes now = bindKeys(given);
    auto key = [](std::int32_t code) {
        return code == 0 ? std::string("no key") : platform::vk::displayName(code);
    };
    std::string lines;
    for (const Action& row : actions) {
        const auto slot = static_cast<std::size_t>(row.slot);
        // The keys of the actions config.ini does not name follow from those it does.
        if (row.name.empty() || then[slot] == now[slot]) {
            continue;
        }
        lines += "  ";
        if (!row.help.empty()) {
            lines += std::string(row.help) + ", ";
        }
        lines += std::string(row.name) + ": " + key(now[slot]) + " here, " + key(then[slot]) +
                 " when recorded\n";
    }
    return lines;
}

} // namespace replay
