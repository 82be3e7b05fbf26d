#include "Folders.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdlib>
#include <string>

namespace platform {

std::filesystem::path executableFolder(const char* /*argv0*/) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return std::filesystem::path(buffer).parent_path();
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::filesystem::path userConfigFolder() {
    const char* appData = std::getenv("APPDATA");
    return appData == nullptr || *appData == '\0' ? std::filesystem::path()
                                                  : std::filesystem::path(appData) / "tharvok";
}

} // namespace platform
