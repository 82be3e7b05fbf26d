// Counts the heap allocations of the whole test program, so that tests can show that a frame
// allocates nothing: take the count before and after.
#pragma once

#include <cstdint>

namespace testsupport {

// Allocations made through operator new (and, under AddressSanitizer, malloc) since the program
// started.
std::uint64_t allocationCount();

} // namespace testsupport
