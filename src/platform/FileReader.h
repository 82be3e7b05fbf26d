// Reading a whole data file (config.ini, a world file) safely: only regular files, never waiting
// on a pipe or a device, never more than a bound. Each back end implements it with its own calls.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace platform {

// Far beyond any world file or config.ini the game can use.
inline constexpr std::size_t maxFileBytes = 1024 * 1024;

enum class FileStatus {
    Ok,
    Missing,    // nothing at the path (or a folder on the way is missing)
    NotAFile,   // a folder, a FIFO, a device, a socket: refused without opening or waiting
    TooLarge,   // more than the bound
    Unreadable, // there, but it cannot be opened or a read failed
};

// Reads the whole regular file at `path` (links followed) into `data`, never blocking (a FIFO or
// device is refused without waiting), at most `maxBytes` (a larger file is refused). `data` is
// empty unless the result is Ok.
FileStatus readWholeFile(const std::filesystem::path& path, std::string& data,
                         std::size_t maxBytes = maxFileBytes);

} // namespace platform
