#include "Folders.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <system_error>
#include <unistd.h>
#if defined(__APPLE__)
#include <mach-o/dyld.h>
#endif

namespace platform {

std::filesystem::path executableFolder(const char* argv0) {
    namespace fs = std::filesystem;
    std::error_code error;
#if defined(__APPLE__)
    char buffer[PATH_MAX];
    std::uint32_t size = sizeof buffer;
    if (_NSGetExecutablePath(buffer, &size) == 0) {
        const fs::path found = fs::weakly_canonical(buffer, error);
        if (!error) {
            return found.parent_path();
        }
    }
#else
    // Linux and the systems that mimic its /proc.
    for (const char* link : {"/proc/self/exe", "/proc/curproc/exe"}) {
        const fs::path found = fs::read_symlink(link, error);
        if (!error && found.is_absolute()) {
            return found.parent_path();
        }
    }
#endif
    // A path the program was started by (not a bare name looked up in PATH).
    if (argv0 != nullptr && std::string_view(argv0).find('/') != std::string_view::npos) {
        const fs::path found = fs::weakly_canonical(argv0, error);
        if (!error) {
            return found.parent_path();
        }
    }
    return {};
}

std::filesystem::path userConfigFolder() {
    namespace fs = std::filesystem;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // An XDG folder must be absolute; a relative one is ignored, as the convention says.
    if (xdg != nullptr && *xdg != '\0' && fs::path(xdg).is_absolute()) {
        return fs::path(xdg) / "tharvok";
    }
    const char* home = std::getenv("HOME");
    return home == nullptr || *home == '\0' ? fs::path() : fs::path(home) / ".config" / "tharvok";
}

} // namespace platform
