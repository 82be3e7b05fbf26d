// What the command line of tharvok-replay asks for, and the statuses it exits with.
#pragma once

#include "platform/Platform.h"

#include <filesystem>
#include <optional>
#include <string>

namespace replay {

struct Options {
    std::optional<std::string> data;   // --data DIR (or --dir DIR)
    std::optional<std::string> config; // --config FILE: played with instead of any other
    platform::LocalTime localTime{12, 0, 0};
    std::string scriptPath = "-";
    std::string console = "virtual";
    std::string outPath;         // empty: standard output
    std::string svgDir;          // where `svg NAME` lines write NAME.svg
    std::string asciicastPath;   // where a terminal recording goes; empty: none
    std::string finalScreenPath; // where the last screen goes ("-": standard output); empty: none
    bool finalAttrs = false;     // the last screen's colours too
    // Where tharvok-replay lies: a recording whose data folder is not here is played with the
    // data beside it (empty: with none).
    std::filesystem::path programFolder;
    bool help = false;
    bool version = false;
};

// Exit statuses.
inline constexpr int exitPlayed = 0;
inline constexpr int exitNoStartWorld = 1;
inline constexpr int exitUsage = 2;
// Played to the end, but a world file differed from the one the recording was made with.
inline constexpr int exitWorldsDiffer = 3;
// A recording cut short as it was written (its last line has no line end): played up to the
// line cut, which is not played.
inline constexpr int exitRecordingCut = 4;

} // namespace replay
