#include "posix/WriteAll.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace platform::posix {

namespace {

// How often, and how long each time, a descriptor that takes nothing is waited for.
constexpr int maxStalls = 50;
constexpr int stallWaitMs = 100;

} // namespace

bool writeAll(int fd, const char* bytes, std::size_t length) {
    int stalls = 0;
    while (length > 0) {
        const ssize_t n = ::write(fd, bytes, length);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            // The non-blocking flag of a terminal is shared with every process on it: wait
            // until it takes more.
            if ((errno == EAGAIN || errno == EWOULDBLOCK) && stalls++ < maxStalls) {
                struct pollfd wait {};
                wait.fd = fd;
                wait.events = POLLOUT;
                ::poll(&wait, 1, stallWaitMs);
                continue;
            }
            return false;
        }
        bytes += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace platform::posix
