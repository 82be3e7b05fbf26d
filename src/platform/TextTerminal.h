// Standard output as a command-line tool writes text to it: when it is a terminal, made ready for
// UTF-8 text and ANSI colours for as long as the object lives, and given back as it was after.
// Output that goes to a file or a pipe is left alone.
#pragma once

namespace platform {

class TextTerminal {
public:
    TextTerminal();
    ~TextTerminal();
    TextTerminal(const TextTerminal&) = delete;
    TextTerminal& operator=(const TextTerminal&) = delete;

    // Standard output is a terminal that shows ANSI colour sequences.
    bool showsColour() const { return colour_; }

private:
    bool colour_ = false;
    // What the back end must put back at the end (a console's mode and code page); a terminal
    // needs none of it.
    [[maybe_unused]] unsigned long savedMode_ = 0;
    [[maybe_unused]] unsigned int savedCodePage_ = 0;
    [[maybe_unused]] bool restore_ = false;
};

} // namespace platform
