#include "app/DataSearch.h"

#include "config/ConfigFile.h"
#include "platform/Folders.h"
#include "world/WorldFiles.h"

#include <system_error>

namespace fs = std::filesystem;

bool holdsStartWorld(const fs::path& folder) {
    std::string grid;
    worldFilePath(startWorldStem, gridExtension, grid);
    std::error_code error;
    return fs::is_regular_file(folder / grid, error);
}

std::vector<fs::path> dataFolderCandidates(const std::optional<fs::path>& given,
                                           const fs::path& executableFolder) {
    if (given) {
        return {*given};
    }
    std::vector<fs::path> folders;
    auto add = [&folders](const fs::path& folder) {
        const fs::path normal = folder.lexically_normal();
        for (const fs::path& known : folders) {
            if (known == normal) {
                return;
            }
        }
        folders.push_back(normal);
    };
    std::error_code error;
    const fs::path working = fs::current_path(error);
    add(error ? fs::path(".") : working);
    if (!executableFolder.empty()) {
        add(executableFolder);
        add(executableFolder / ".." / "share" / "tharvok");
    }
    return folders;
}

DataSearch findData(const std::optional<fs::path>& given, const fs::path& executableFolder) {
    DataSearch search;
    search.tried = dataFolderCandidates(given, executableFolder);
    for (const fs::path& folder : search.tried) {
        if (holdsStartWorld(folder)) {
            search.found = folder;
            break;
        }
    }
    const fs::path dataFolder = search.found.empty() ? search.tried.front() : search.found;
    const fs::path own = userConfigFile();
    std::error_code error;
    search.configFile =
        !own.empty() && fs::is_regular_file(own, error) ? own : dataFolder / configFileName;
    return search;
}

fs::path userConfigFile() {
    const fs::path folder = platform::userConfigFolder();
    return folder.empty() ? fs::path() : folder / configFileName;
}
