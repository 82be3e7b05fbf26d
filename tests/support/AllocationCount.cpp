#include "AllocationCount.h"

#include <atomic>
#include <cstdlib>
#include <new>

// With AddressSanitizer the sanitizer's allocation hook counts, so that its own checks of new and
// delete stay in force; without it the global allocation functions are replaced.
#if defined(__SANITIZE_ADDRESS__)
#define THARVOK_COUNT_WITH_SANITIZER_HOOK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define THARVOK_COUNT_WITH_SANITIZER_HOOK 1
#endif
#endif

namespace {
std::atomic<std::uint64_t> allocations{0};

void noteAllocation() { allocations.fetch_add(1, std::memory_order_relaxed); }
} // namespace

#if defined(THARVOK_COUNT_WITH_SANITIZER_HOOK)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*,
                                                                             std::size_t),
                                                         void (*free_hook)(const volatile void*));
namespace {
void onMalloc(const volatile void*, std::size_t) { noteAllocation(); }
void onFree(const volatile void*) {}
const bool hooksInstalled = __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree) != 0;
} // namespace
#else
// GCC sees free() after inlining these into code that called new, and takes the pair for a
// mismatch; here new is malloc, so it is not one.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t size) {
    noteAllocation();
    if (void* p = std::malloc(size != 0 ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
#endif

std::uint64_t testsupport::allocationCount() { return allocations.load(); }
