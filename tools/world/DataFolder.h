// A data folder as a world author sees it: config.ini and the worlds of bin/world/, read with the
// game's own loaders, so that the tools never disagree with the game about what a file means.
// All the files the tools read or write go through here.
#pragma once

#include "world/WorldFiles.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace worldtool {

// One world, loaded as the game would load it at start (cells its grid does not reach are
// blanks), with where each cell and field came from.
struct AuthoredWorld {
    std::string stem;
    bool loaded = false;
    // The refused or unreadable file when the world could not be loaded, as the game names it.
    std::string failedPath;
    WorldLoad load;
    WorldSource source;

    // The two header words, as the game keeps them (the stem when there are none).
    std::string name() const;
    // The paths of its files as the game names them.
    std::string gridPath() const;
    std::string infoPath() const;
};

// Writes `bytes` as the whole of the file `path` (made or emptied first); false, with what
// failed, when the file cannot be made or any write or its close fails.
bool writeWholeFile(const std::filesystem::path& path, std::string_view bytes, std::string& error);

class DataFolder {
public:
    explicit DataFolder(std::filesystem::path folder) : folder_(std::move(folder)) {}

    const std::filesystem::path& path() const { return folder_; }

    // The stems of the world files in bin/world/ (a .wgf or a .wif), sorted; `others` receives
    // the names of the files there that are neither. Empty when the folder cannot be read.
    std::vector<std::string> listWorlds(std::vector<std::string>& others) const;

    // Whether the folder holds bin/world/, as every data folder does.
    bool hasWorldFolder() const;

    // The world `stem` (any stem a link may name), loaded on first use.
    const AuthoredWorld& world(const std::string& stem);

    // The stem of the world that `what` names: a stem, the one stem it starts, or a world's
    // name (its two header words). Empty when none does; `matches` then holds the stems when
    // more than one does.
    std::string find(const std::string& what, std::vector<std::string>& matches);
    // A world's stem one edit or one swap of neighbours away from `stem`, or differing from it
    // (or from its start) only in letter case.
    std::optional<std::string> nearStem(const std::string& stem) const;
    // A world's name that `name` misses by as little: letter case, one edit, one swap.
    std::optional<std::string> nearName(const std::string& name);

    // Reads config.ini; false when it is missing or cannot be read.
    bool readConfig(std::string& text) const;

    // Whether bin/world/ holds a file of the world `stem` (or cannot tell).
    bool worldExists(const std::string& stem) const;
    // Writes the two files of a world that does not exist yet, creating bin/world/ when needed;
    // false with a message, and nothing left behind, when they cannot be written.
    bool writeNewWorld(const std::string& stem, std::string_view grid, std::string_view info,
                       std::string& error) const;

    // Replaces files of the folder (paths relative to it) by new contents: each is written whole
    // to a temporary file beside it first, and only when every one is written are they renamed
    // over the old ones, so that a failed write changes no file. False with what failed and
    // whether any file was changed (only a rename that fails after another succeeded does).
    bool replaceFiles(const std::vector<std::pair<std::string, std::string>>& files,
                      std::string& error) const;

private:
    std::filesystem::path folder_;
    std::map<std::string, std::unique_ptr<AuthoredWorld>> worlds_;
};

} // namespace worldtool
