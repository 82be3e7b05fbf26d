#include "win32/Win32Clock.h"

#include "win32/WindowsApi.h"

namespace platform::win32 {

std::int64_t Win32Clock::nowMs() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t count =
        (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return fileTimeToUnixMs(count);
}

LocalTime Win32Clock::localTime() {
    SYSTEMTIME local;
    GetLocalTime(&local);
    return LocalTime{local.wHour, local.wMinute, local.wSecond};
}

} // namespace platform::win32
