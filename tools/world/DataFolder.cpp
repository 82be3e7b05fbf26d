#include "DataFolder.h"

#include "Report.h"

#include "config/ConfigFile.h"
#include "platform/FileReader.h"
#include "platform/Folders.h"
#include "platform/OutputFile.h"

#include <algorithm>
#include <exception>
#include <system_error>

namespace worldtool {

namespace fs = std::filesystem;

namespace {

Grid blankGrid() {
    Grid grid{};
    grid.fill(' ');
    return grid;
}

fs::path worldFolder(const fs::path& folder) { return folder / "bin" / "world"; }

} // namespace

bool writeWholeFile(const fs::path& path, std::string_view bytes, std::string& error) {
    platform::OutputFile file;
    std::string reason;
    if (!file.open(path, reason)) {
        error = "cannot make " + inQuotes(path.string()) + ": " + reason;
        return false;
    }
    if (!file.write(bytes) || !file.close()) {
        error = "cannot write " + inQuotes(path.string()) + ": " + file.error();
        return false;
    }
    return true;
}

std::string AuthoredWorld::name() const {
    if (load.info.firstNameWord.empty()) {
        return stem;
    }
    return load.info.firstNameWord + " " + load.info.secondNameWord;
}

std::string AuthoredWorld::gridPath() const {
    std::string path;
    worldFilePath(stem, gridExtension, path);
    return path;
}

std::string AuthoredWorld::infoPath() const {
    std::string path;
    worldFilePath(stem, infoExtension, path);
    return path;
}

std::vector<std::string> DataFolder::listWorlds(std::vector<std::string>& others) const {
    std::vector<std::string> stems;
    std::error_code error;
    fs::directory_iterator entries(worldFolder(folder_), error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const fs::path& file = entries->path();
        try {
            const std::string extension = file.extension().string();
            if (extension == gridExtension || extension == infoExtension) {
                stems.push_back(file.stem().string());
            } else {
                others.push_back(file.filename().string());
            }
        } catch (const std::exception&) {
            // A name this system cannot spell in bytes names no world the game could open.
            others.push_back("?");
        }
    }
    std::sort(stems.begin(), stems.end());
    stems.erase(std::unique(stems.begin(), stems.end()), stems.end());
    std::sort(others.begin(), others.end());
    return stems;
}

const AuthoredWorld& DataFolder::world(const std::string& stem) {
    std::unique_ptr<AuthoredWorld>& slot = worlds_[stem];
    if (!slot) {
        slot = std::make_unique<AuthoredWorld>();
        slot->stem = stem;
        slot->loaded = loadWorld(folder_, stem, blankGrid(), slot->load, &slot->source);
        slot->failedPath = slot->load.failedPath;
    }
    return *slot;
}

bool DataFolder::hasWorldFolder() const {
    std::error_code error;
    return fs::is_directory(worldFolder(folder_), error);
}

std::string DataFolder::find(const std::string& what, std::vector<std::string>& matches) {
    std::vector<std::string> others;
    const std::vector<std::string> stems = listWorlds(others);
    matches.clear();
    if (std::binary_search(stems.begin(), stems.end(), what)) {
        return what;
    }
    for (const std::string& stem : stems) {
        if (world(stem).loaded && world(stem).name() == what) {
            matches.push_back(stem);
        }
    }
    if (matches.empty()) {
        for (const std::string& stem : stems) {
            if (stem.starts_with(what)) {
                matches.push_back(stem);
            }
        }
    }
    return matches.size() == 1 ? matches.front() : std::string();
}

std::optional<std::string> DataFolder::nearStem(const std::string& stem) const {
    std::vector<std::string> others;
    std::vector<std::string> starting;
    for (const std::string& known : listWorlds(others)) {
        if (editDistance(stem, known, true) == 0 || editDistance(stem, known, false) == 1) {
            return known;
        }
        if (stem.size() < known.size() &&
            editDistance(stem, known.substr(0, stem.size()), true) == 0) {
            starting.push_back(known);
        }
    }
    // The start of a stem in the wrong letter case.
    return starting.size() == 1 ? std::optional(starting.front()) : std::nullopt;
}

bool DataFolder::readConfig(std::string& text) const {
    return platform::readWholeFile(folder_ / configFileName, text) == platform::FileStatus::Ok;
}

bool DataFolder::worldExists(const std::string& stem) const {
    std::error_code error;
    const fs::path folder = worldFolder(folder_);
    const bool grid = fs::exists(folder / (stem + std::string(gridExtension)), error);
    const bool info = fs::exists(folder / (stem + std::string(infoExtension)), error);
    return grid || info || error;
}

bool DataFolder::writeNewWorld(const std::string& stem, std::string_view grid,
                               std::string_view info, std::string& error) const {
    const fs::path folder = worldFolder(folder_);
    std::error_code code;
    fs::create_directories(folder, code);
    if (worldExists(stem)) {
        error = "a world " + stem + " exists already";
        return false;
    }
    const fs::path files[] = {folder / (stem + std::string(gridExtension)),
                              folder / (stem + std::string(infoExtension))};
    const std::string_view contents[] = {grid, info};
    for (std::size_t i = 0; i < 2; ++i) {
        if (!writeWholeFile(files[i], contents[i], error)) {
            for (std::size_t j = 0; j <= i; ++j) {
                fs::remove(files[j], code);
            }
            return false;
        }
    }
    return true;
}

} // namespace worldtool
