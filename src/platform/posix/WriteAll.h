// The one loop that writes a whole buffer to a file descriptor: interrupted writes are retried,
// short writes continued, and a descriptor someone made non-blocking is waited for a while.
// Async-signal-safe, so that the signal handlers write through it too.
#pragma once

#include <cstddef>

namespace platform::posix {

// Writes all `length` bytes; false when a write fails (the file or terminal is gone).
bool writeAll(int fd, const char* bytes, std::size_t length);

} // namespace platform::posix
