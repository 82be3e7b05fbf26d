// What the game needs to know of the terminal it runs in, judged from what the terminal says of
// itself: its TERM name and terminfo entry, the variables it sets, and the locale's character
// set, as other terminal programs judge it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform::posix {

// The two facts of a compiled terminfo entry the game uses.
struct Terminfo {
    bool backColourErase = false; // bce: erases in the current background
    bool alternateScreen = false; // smcup: has a screen of its own for full-screen programs
};

// Reads a compiled terminfo entry (the legacy and the extended number format). Nothing when the
// bytes are not one.
std::optional<Terminfo> parseTerminfo(std::string_view file);

struct TerminalTraits {
    // Keeps the screen from before the game (the alternate screen) and shows it again after.
    bool alternateScreen = true;
    // Erases in the current background; otherwise blanks are written.
    bool backColourErase = true;
    // Grows when asked and reports only the size it shows: only these are asked to grow.
    bool growsHonestly = false;
    // Shows UTF-8; otherwise the game is drawn in ASCII look-alikes.
    bool utf8 = true;
};

// The traits from an environment (a variable's value, or nothing when it is not set), the
// terminfo entry of its TERM (when one was found) and whether the locale's character set is
// UTF-8.
//   GNU screen (TERM screen..., not inside tmux) keeps no alternate screen with its default
//   settings; an entry without smcup keeps none either.
//   The terminfo entry's bce flag tells background-colour erase; without an entry, every
//   terminal but GNU screen is taken to have it.
//   Only xterm (XTERM_VERSION) and VTE terminals (VTE_VERSION) are asked to grow, never inside
//   tmux or screen, nor in konsole (which reports rows it does not show).
//   THARVOK_UTF8=1 insists on UTF-8 under a locale that is not.
TerminalTraits traitsOf(const std::function<std::optional<std::string>(const char*)>& environment,
                        const std::optional<Terminfo>& terminfo, bool utf8Locale);

// The traits of the terminal the program runs in.
TerminalTraits readTerminalTraits();

} // namespace platform::posix
