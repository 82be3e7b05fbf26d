#include "app/DataSearch.h"

#include "config/ConfigFile.h"
#include "world/WorldFiles.h"

#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// An environment variable's value, or empty.
std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

} // namespace

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
#if defined(_WIN32)
    const std::string appData = environment("APPDATA");
    return appData.empty() ? fs::path() : fs::path(appData) / "tharvok" / configFileName;
#else
    const std::string xdg = environment("XDG_CONFIG_HOME");
    // An XDG folder must be absolute; a relative one is ignored, as the convention says.
    if (!xdg.empty() && fs::path(xdg).is_absolute()) {
        return fs::path(xdg) / "tharvok" / configFileName;
    }
    const std::string home = environment("HOME");
    return home.empty() ? fs::path() : fs::path(home) / ".config" / "tharvok" / configFileName;
#endif
}
