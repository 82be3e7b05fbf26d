#include "core/FileBytes.h"

#include <filesystem>
#include <fstream>

bool readFileBytes(const std::filesystem::path& path, std::string& data) {
    data.clear();
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    char chunk[4096];
    while (file.read(chunk, sizeof chunk), file.gcount() > 0) {
        data.append(chunk, static_cast<std::size_t>(file.gcount()));
    }
    return !file.bad();
}
