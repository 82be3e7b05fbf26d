#include "Commands.h"
#include "Report.h"

#include "config/ConfigFile.h"
#include "platform/FileReader.h"

#include <algorithm>
#include <exception>
#include <ostream>
#include <system_error>
#include <utility>
#include <vector>

namespace worldtool {

namespace {

namespace fs = std::filesystem;

// A file to lay into the new folder: where it goes there, and its bytes.
struct Copy {
    fs::path to;
    std::string bytes;
};

// What init made so far, so that a failure can take it all back.
class Made {
public:
    // A folder it created, or a file it is about to write (part of it may be there when the
    // write fails).
    void add(const fs::path& path) { made_.push_back(path); }
    // The target did not exist: the first folder added is the highest one it created.
    void targetMade() { madeTarget_ = true; }
    bool madeTarget() const { return madeTarget_; }

    // Removes what was made: the highest folder it created with all in it, or else each file
    // and folder it made, newest first. Returns the paths it could not remove.
    std::vector<fs::path> undo() {
        std::vector<fs::path> left;
        std::error_code code;
        if (madeTarget_ && !made_.empty()) {
            fs::remove_all(made_.front(), code);
            if (code) {
                left.push_back(made_.front());
            }
            return left;
        }
        for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
            if (!fs::remove(*it, code) && code) {
                left.push_back(*it);
            }
        }
        return left;
    }

private:
    std::vector<fs::path> made_;
    bool madeTarget_ = false;
};

// Creates `folder` and the folders above it that are missing, each recorded in `made`; false
// with the reason when one cannot be created.
bool createFolders(const fs::path& folder, Made& made, std::string& error) {
    std::vector<fs::path> missing;
    std::error_code code;
    for (fs::path p = folder.lexically_normal(); !p.empty();) {
        if (fs::symlink_status(p, code).type() != fs::file_type::not_found) {
            break;
        }
        missing.push_back(p);
        const fs::path parent = p.parent_path();
        if (parent == p) {
            break;
        }
        p = parent;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        const bool created = fs::create_directory(*it, code);
        if (code) {
            error = "cannot make the folder " + inQuotes(it->string()) + ": " + code.message();
            return false;
        }
        if (created) {
            made.add(*it);
        }
    }
    return true;
}

// The files of the game's data folder that a new folder starts with: config.ini and the world
// files of bin/world/, in name order. False with the reason when one cannot be read.
bool readShipped(const fs::path& shipped, const fs::path& target, std::vector<Copy>& copies,
                 std::size_t& worlds, std::string& error) {
    const fs::path worldFolder = fs::path("bin") / "world";
    std::vector<fs::path> names{configFileName};
    std::error_code code;
    fs::directory_iterator entries(shipped / worldFolder, code);
    for (; !code && entries != fs::directory_iterator(); entries.increment(code)) {
        const fs::path name = entries->path().filename();
        try {
            const std::string extension = name.extension().string();
            if (extension == gridExtension || extension == infoExtension) {
                names.push_back(worldFolder / name);
                worlds += extension == gridExtension ? 1 : 0;
            }
        } catch (const std::exception&) {
            // A name this system cannot spell in bytes names no world the game could open.
        }
    }
    if (code) {
        error = "cannot read the game's worlds in " + inQuotes((shipped / worldFolder).string()) +
                ": " + code.message();
        return false;
    }
    std::sort(names.begin() + 1, names.end());
    for (const fs::path& name : names) {
        Copy copy{target / name, {}};
        if (platform::readWholeFile(shipped / name, copy.bytes) != platform::FileStatus::Ok) {
            error = "cannot read the game's " + inQuotes((shipped / name).string());
            return false;
        }
        copies.push_back(std::move(copy));
    }
    return true;
}

// Lays the copies into `target`, which is missing or an empty folder; false with what failed.
bool layInto(const fs::path& target, const std::vector<Copy>& copies, Made& made,
             std::string& error) {
    std::error_code code;
    if (fs::symlink_status(target, code).type() == fs::file_type::not_found) {
        made.targetMade();
    }
    if (!createFolders(target / "bin" / "world", made, error)) {
        return false;
    }
    for (const Copy& copy : copies) {
        made.add(copy.to);
        if (!writeWholeFile(copy.to, copy.bytes, error)) {
            return false;
        }
    }
    return true;
}

} // namespace

int initFolder(const fs::path& shipped, const fs::path& target, std::ostream& out,
               std::ostream& err) {
    const std::string shown = inQuotes(target.string());
    auto fail = [&](const std::string& why) {
        err << "tharvok-world init: " << why << "\n";
        return 1;
    };
    if (shipped.empty()) {
        return fail("the game's own data is not beside this program");
    }
    // What is there already: nothing, or an empty folder (through a link or not).
    std::error_code code;
    const fs::file_type type = fs::symlink_status(target, code).type();
    if (type == fs::file_type::symlink &&
        fs::status(target, code).type() == fs::file_type::not_found) {
        return fail(shown + " is a symbolic link to " +
                    inQuotes(fs::read_symlink(target, code).string()) +
                    ", which does not exist: name a new folder");
    }
    if (type != fs::file_type::not_found && type != fs::file_type::none) {
        if (!fs::is_directory(target, code)) {
            return fail(shown + " is a file, not a folder: name a new folder");
        }
        const bool empty = fs::is_empty(target, code);
        if (code) {
            return fail("cannot read the folder " + shown + ": " + code.message());
        }
        if (!empty) {
            return fail(shown + " is not empty: name a new folder");
        }
    }
    std::vector<Copy> copies;
    std::size_t worlds = 0;
    std::string error;
    if (!readShipped(shipped, target, copies, worlds, error)) {
        return fail(error);
    }
    Made made;
    if (!layInto(target, copies, made, error)) {
        const bool wasThere = !made.madeTarget();
        const std::vector<fs::path> left = made.undo();
        std::string message = error;
        if (!left.empty()) {
            message += "; and cannot remove " + inQuotes(left.front().string()) + ", which it made";
        } else {
            message += wasThere ? "; " + shown + " is as it was" : "; nothing was made";
        }
        return fail(message);
    }
    out << "Copied config.ini and " << counted(worlds, "world", "worlds") << " from "
        << escaped(shipped.string()) << " into " << escaped(target.string())
        << ".\nPlay them with: tharvok --data " << escaped(target.string()) << "\n";
    return 0;
}

} // namespace worldtool
