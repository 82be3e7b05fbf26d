// Where the running program lies and where its user keeps settings, so that it can find the data
// installed beside it and the user's own config.ini. Each system implements it with its own calls.
#pragma once

#include <filesystem>

namespace platform {

// The folder of the running executable, or an empty path when the system does not tell.
// `argv0` (the program's first argument) is the last resort where nothing better is known.
std::filesystem::path executableFolder(const char* argv0);

// The program's own folder among the user's configuration: $XDG_CONFIG_HOME/tharvok, or
// ~/.config/tharvok (%APPDATA%\tharvok on Windows); empty when no such folder can be named. The
// folder need not exist.
std::filesystem::path userConfigFolder();

} // namespace platform
