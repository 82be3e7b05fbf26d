// The whole-file reader with plain POSIX calls (also what a browser build's file system offers).
#include "FileReader.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

FileStatus failedLookup(int error) {
    return error == ENOENT || error == ENOTDIR ? FileStatus::Missing : FileStatus::Unreadable;
}

FileStatus checkKind(const struct stat& info, std::size_t maxBytes) {
    if (!S_ISREG(info.st_mode)) {
        return FileStatus::NotAFile;
    }
    if (info.st_size < 0 || static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        return FileStatus::TooLarge;
    }
    return FileStatus::Ok;
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

private:
    int fd_;
};

FileStatus readAll(int fd, std::size_t sizeHint, std::size_t maxBytes, std::string& data) {
    return readBounded(sizeHint, maxBytes, data, [fd](char* buffer, std::size_t room) {
        for (;;) {
            const ssize_t n = ::read(fd, buffer, room);
            if (n >= 0 || errno != EINTR) {
                return n;
            }
        }
    });
}

} // namespace

FileStatus readWholeFile(const std::filesystem::path& path, std::string& data,
                         std::size_t maxBytes) {
    data.clear();
    // Looked at before it is opened: opening a FIFO waits for a writer, and opening a device can
    // do things of its own.
    struct stat found {};
    if (::stat(path.c_str(), &found) != 0) {
        return failedLookup(errno);
    }
    if (const FileStatus kind = checkKind(found, maxBytes); kind != FileStatus::Ok) {
        return kind;
    }
    int fd = -1;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return failedLookup(errno);
    }
    const Descriptor file(fd);
    // The path may have been replaced since it was looked at: what was opened is what counts.
    struct stat opened {};
    if (::fstat(fd, &opened) != 0) {
        return FileStatus::Unreadable;
    }
    FileStatus status = checkKind(opened, maxBytes);
    if (status == FileStatus::Ok) {
        status = readAll(fd, static_cast<std::size_t>(opened.st_size), maxBytes, data);
    }
    if (status != FileStatus::Ok) {
        data.clear();
    }
    return status;
}

} // namespace platform
