// Counts the C++ allocations of this test program (operator new is replaced for it).
#pragma once

#include <cstdint>

std::uint64_t allocationCount();
