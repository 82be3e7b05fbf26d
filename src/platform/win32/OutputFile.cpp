#include "OutputFile.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace platform {

namespace {

HANDLE handleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

} // namespace

OutputFile::~OutputFile() { close(); }

bool OutputFile::open(const std::filesystem::path& path, std::string& error) {
    close();
    failed_ = false;
    errorCode_ = 0;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        errorCode_ = static_cast<int>(GetLastError());
        error = this->error();
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    return true;
}

bool OutputFile::write(std::string_view bytes) {
    if (handle_ == -1 || failed_) {
        return false;
    }
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
        if (!WriteFile(handleOf(handle_), bytes.data(), chunk, &written, nullptr) || written == 0) {
            const DWORD code = GetLastError();
            errorCode_ = code != 0 ? static_cast<int>(code) : ERROR_WRITE_FAULT;
            failed_ = true;
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

bool OutputFile::close() {
    if (handle_ == -1) {
        return !failed_;
    }
    if (!CloseHandle(handleOf(handle_))) {
        errorCode_ = failed_ ? errorCode_ : static_cast<int>(GetLastError());
        failed_ = true;
    }
    handle_ = -1;
    return !failed_;
}

std::string OutputFile::error() const {
    return errorCode_ != 0 ? "error " + std::to_string(errorCode_) : "";
}

// The Windows console ends a program on Ctrl-C without a handler of ours: what is pending is
// written by the caller's regular flushes only.
void OutputFile::setPending(const char*, const std::atomic<std::size_t>*) {}

} // namespace platform
