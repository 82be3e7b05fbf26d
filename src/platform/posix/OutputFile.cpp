#include "OutputFile.h"

#include "posix/PendingOutput.h"
#include "posix/WriteAll.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

// The one file with pending bytes, for the signal handlers: written only by the game's thread,
// read by the handlers, atomics that take no lock.
std::atomic<int> pendingFd = -1;
std::atomic<const char*> pendingData = nullptr;
std::atomic<const std::atomic<std::size_t>*> pendingLength = nullptr;
static_assert(std::atomic<int>::is_always_lock_free &&
              std::atomic<std::size_t>::is_always_lock_free &&
              std::atomic<const char*>::is_always_lock_free);

} // namespace

namespace posix {

void writePendingOutput() {
    const int fd = pendingFd.exchange(-1); // once
    const char* data = pendingData;
    const std::atomic<std::size_t>* length = pendingLength;
    if (fd < 0 || data == nullptr || length == nullptr) {
        return;
    }
    posix::writeAll(fd, data, length->load());
}

} // namespace posix

OutputFile::~OutputFile() { close(); }

bool OutputFile::open(const std::filesystem::path& path, std::string& error) {
    close();
    failed_ = false;
    errorCode_ = 0;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0) {
        errorCode_ = errno;
        error = std::strerror(errorCode_);
        return false;
    }
    handle_ = fd;
    return true;
}

bool OutputFile::write(std::string_view bytes) {
    if (handle_ < 0 || failed_) {
        return false;
    }
    failed_ = !posix::writeAll(static_cast<int>(handle_), bytes.data(), bytes.size());
    if (failed_) {
        errorCode_ = errno != 0 ? errno : EIO;
    }
    return !failed_;
}

bool OutputFile::close() {
    if (handle_ < 0) {
        return !failed_;
    }
    if (pendingFd == static_cast<int>(handle_)) {
        pendingFd = -1;
    }
    if (::close(static_cast<int>(handle_)) != 0) {
        errorCode_ = failed_ ? errorCode_ : errno;
        failed_ = true;
    }
    handle_ = -1;
    return !failed_;
}

std::string OutputFile::error() const { return errorCode_ != 0 ? std::strerror(errorCode_) : ""; }

void OutputFile::setPending(const char* data, const std::atomic<std::size_t>* length) {
    pendingFd = -1;
    pendingData = data;
    pendingLength = length;
    pendingFd = data != nullptr && length != nullptr ? static_cast<int>(handle_) : -1;
}

} // namespace platform
