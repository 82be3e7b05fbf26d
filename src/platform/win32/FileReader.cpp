// The whole-file reader with Win32 calls: only files on a disk are read (not a pipe, the console
// or another device), and never more than the bound.
#include "FileReader.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <cstdint>

namespace platform {

namespace {

FileStatus failedLookup(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileStatus::Missing
                                                                          : FileStatus::Unreadable;
}

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

private:
    HANDLE handle_;
};

FileStatus readAll(HANDLE file, std::size_t size, std::size_t maxBytes, std::string& data) {
    return readBounded(size, maxBytes, data, [file](char* buffer, std::size_t room) {
        DWORD got = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(room, 1u << 20));
        return ReadFile(file, buffer, chunk, &got, nullptr) ? static_cast<long long>(got) : -1LL;
    });
}

} // namespace

FileStatus readWholeFile(const std::filesystem::path& path, std::string& data,
                         std::size_t maxBytes) {
    data.clear();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return failedLookup(GetLastError());
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return FileStatus::NotAFile;
    }
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return failedLookup(GetLastError());
    }
    const Handle guard(file);
    // A pipe, the console or another device opens like a file; only a file on a disk is read.
    if (GetFileType(file) != FILE_TYPE_DISK) {
        return FileStatus::NotAFile;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) {
        return FileStatus::Unreadable;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return FileStatus::NotAFile;
    }
    const std::uint64_t size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    if (size > maxBytes) {
        return FileStatus::TooLarge;
    }
    const FileStatus status = readAll(file, static_cast<std::size_t>(size), maxBytes, data);
    if (status != FileStatus::Ok) {
        data.clear();
    }
    return status;
}

} // namespace platform
