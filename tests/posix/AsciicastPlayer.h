// Plays an asciicast v2 file (a terminal recording) on the test terminal, checking its JSON on
// the way: a header object with version 2, width 80 and height 25, then [seconds, "o", text]
// events whose seconds never go back.
#pragma once

#include "TerminalEmulator.h"

#include <filesystem>
#include <string>

namespace posixtest {

// A character as UTF-8.
std::string utf8(char32_t code);

// The terminal's text, row by row, each row ended by a line feed.
std::string screenText(const TerminalEmulator& term);

// Feeds every event's text to `term`; empty when the file is a well-formed recording, otherwise
// what is wrong with it (and where).
std::string playAsciicast(const std::filesystem::path& file, TerminalEmulator& term);

} // namespace posixtest
