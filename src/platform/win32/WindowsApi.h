// The Windows API as the back end's files include it, and what they all ask of a handle.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace platform::win32 {

// A handle that names something: neither none nor the invalid one.
inline bool usable(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

} // namespace platform::win32
