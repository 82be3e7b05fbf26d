#include "TextTerminal.h"

#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace platform {

// A terminal speaks UTF-8 and colours already; only one that calls itself "dumb" does not.
TextTerminal::TextTerminal() {
    const char* term = std::getenv("TERM");
    colour_ = ::isatty(STDOUT_FILENO) == 1 && term != nullptr && std::strcmp(term, "dumb") != 0;
}

TextTerminal::~TextTerminal() = default;

} // namespace platform
