#include "TextTerminal.h"

#include <windows.h>

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace platform {

// A console shows UTF-8 once its output code page says so, and ANSI colours once virtual
// terminal processing is on (Windows 10 and later); both are put back at the end.
TextTerminal::TextTerminal() {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (output == INVALID_HANDLE_VALUE || output == nullptr || !GetConsoleMode(output, &mode)) {
        return;
    }
    savedMode_ = mode;
    savedCodePage_ = GetConsoleOutputCP();
    restore_ = true;
    SetConsoleOutputCP(CP_UTF8);
    colour_ = SetConsoleMode(output, mode | ENABLE_PROCESSED_OUTPUT |
                                         ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

TextTerminal::~TextTerminal() {
    if (!restore_) {
        return;
    }
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    SetConsoleMode(output, static_cast<DWORD>(savedMode_));
    SetConsoleOutputCP(savedCodePage_);
}

} // namespace platform
