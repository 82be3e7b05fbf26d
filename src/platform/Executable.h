// Where the running program lies, so that it can find the data installed beside it.
#pragma once

#include <filesystem>

namespace platform {

// The folder of the running executable, or an empty path when the system does not tell.
// `argv0` (the program's first argument) is the last resort where nothing better is known.
std::filesystem::path executableFolder(const char* argv0);

} // namespace platform
