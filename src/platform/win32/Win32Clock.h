// The clock of the Windows back end.
#pragma once

#include "Platform.h"

#include <cstdint>

namespace platform::win32 {

class Win32Clock final : public Clock {
public:
    std::int64_t nowMs() override;
    LocalTime localTime() override;
};

// 100-nanosecond intervals since 1601-01-01 (a FILETIME) as milliseconds since 1970-01-01.
constexpr std::int64_t fileTimeToUnixMs(std::uint64_t fileTime) {
    constexpr std::int64_t unixEpochAsFileTime = 116444736000000000;
    return (static_cast<std::int64_t>(fileTime) - unixEpochAsFileTime) / 10000;
}

} // namespace platform::win32
