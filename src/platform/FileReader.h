// Reading a whole data file (config.ini, a world file) safely: only regular files, never waiting
// on a pipe or a device, never more than a bound. Each back end implements it with its own calls.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
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

// The reading loop both back ends share: `read(buffer, room)` fills up to `room` bytes and returns
// how many (0 at the end of the file, below 0 when the read fails). The file may grow while it is
// read and some files give no size, so it reads until the end, but never more than one byte past
// the bound.
template <typename Read>
FileStatus readBounded(std::size_t sizeHint, std::size_t maxBytes, std::string& data, Read read) {
    const std::size_t limit = maxBytes < SIZE_MAX ? maxBytes + 1 : maxBytes;
    constexpr std::size_t firstChunk = 4096;
    data.resize(std::min(limit, std::max(sizeHint + 1, firstChunk)));
    std::size_t length = 0;
    for (;;) {
        if (length == data.size()) {
            if (length >= limit) {
                return FileStatus::TooLarge;
            }
            data.resize(std::min(limit, length * 2));
        }
        const auto n = read(data.data() + length, data.size() - length);
        if (n < 0) {
            return FileStatus::Unreadable;
        }
        if (n == 0) {
            break;
        }
        length += static_cast<std::size_t>(n);
    }
    if (length > maxBytes) {
        return FileStatus::TooLarge;
    }
    data.resize(length);
    return FileStatus::Ok;
}

} // namespace platform
