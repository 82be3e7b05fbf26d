// Where the tests run the game: the build folder (config.ini and bin/world/ beside the programs)
// when its start world is there, otherwise a folder made from the small test world kept beside
// these tests.
#pragma once

#include "world/WorldFiles.h"

#include <filesystem>
#include <string>

namespace posixtest {

inline std::filesystem::path gameDirectory() {
    namespace fs = std::filesystem;
    const fs::path build = THARVOK_BUILD_DIR;
    const fs::path startWorld = fs::path("bin") / "world" / (std::string(startWorldStem) + ".wgf");
    if (fs::exists(build / startWorld) && fs::exists(build / "config.ini")) {
        return build;
    }
    const fs::path made = fs::temp_directory_path() / "tharvok-posix-test-world";
    fs::create_directories(made / "bin");
    fs::copy(fs::path(THARVOK_POSIX_TESTS_DIR) / "world", made / "bin" / "world",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    fs::copy_file(fs::path(THARVOK_SOURCE_DIR) / "data" / "config.ini", made / "config.ini",
                  fs::copy_options::overwrite_existing);
    return made;
}

} // namespace posixtest
