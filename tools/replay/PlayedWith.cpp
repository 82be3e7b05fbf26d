#include "PlayedWith.h"

#include "app/DataSearch.h"

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

} // namespace replay
