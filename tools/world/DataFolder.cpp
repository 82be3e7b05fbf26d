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

// Whether `a` is `b` with two neighbouring bytes swapped.
bool swappedNeighbours(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    std::size_t i = 0;
    while (i < a.size() && a[i] == b[i]) {
        ++i;
    }
    return i + 1 < a.size() && a[i] == b[i + 1] && a[i + 1] == b[i] &&
           a.substr(i + 2) == b.substr(i + 2);
}

// Whether `typed` misses `known` by a slip of the hand: letter case, one edit (in any case) or
// one swap.
bool slipOf(std::string_view typed, std::string_view known) {
    return editDistance(typed, known, true) <= 1 || swappedNeighbours(typed, known);
}

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
        if (slipOf(stem, known)) {
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

std::optional<std::string> DataFolder::nearName(const std::string& name) {
    std::vector<std::string> others;
    for (const std::string& stem : listWorlds(others)) {
        if (world(stem).loaded && slipOf(name, world(stem).name())) {
            return world(stem).name();
        }
    }
    return std::nullopt;
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

bool DataFolder::replaceFiles(const std::vector<std::pair<std::string, std::string>>& files,
                              std::string& error) const {
    std::vector<fs::path> written;
    std::error_code code;
    auto removeWritten = [&] {
        for (const fs::path& file : written) {
            fs::remove(file, code);
        }
    };
    for (const auto& [name, bytes] : files) {
        const fs::path file = folder_ / name;
        const fs::path temporary = fs::path(file).concat(".new");
        written.push_back(temporary);
        if (!writeWholeFile(temporary, bytes, error)) {
            removeWritten();
            error += "; no file was changed";
            return false;
        }
        // The new file keeps the old one's permissions.
        const fs::file_status status = fs::status(file, code);
        if (!code) {
            fs::permissions(temporary, status.permissions(), code);
        }
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        fs::rename(written[i], folder_ / files[i].first, code);
        if (code) {
            error = "cannot replace " + inQuotes(files[i].first) + ": " + code.message();
            error += i == 0 ? "; no file was changed" : "; the files before it were replaced";
            written.erase(written.begin(), written.begin() + static_cast<long>(i));
            removeWritten();
            return false;
        }
    }
    return true;
}

} // namespace worldtool
