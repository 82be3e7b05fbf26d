// The replay script: the one grammar that the recorder writes and the replay runner reads. A
// script is plain text, one line a command; "#" starts a comment line. What a recording carries
// besides its frames (the data folder, the config.ini the game read, a fingerprint of each world
// file it read) is lines of the same grammar, so that a diff shows them and no reader skips them.
#pragma once

#include "core/FrameInput.h"
#include "platform/FileReader.h"
#include "platform/Platform.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace script {

// The limits of a script line: beyond them a line is malformed.
inline constexpr long long maxFrameCount = 10'000'000;
inline constexpr long long maxFrameMs = 1'000'000'000'000;
inline constexpr std::size_t maxLineBytes = 4096;
// The largest config.ini or world file a script can describe: the most the game reads.
inline constexpr long long maxFileBytes = static_cast<long long>(platform::maxFileBytes);
// The longest line a recording writes for a frame or a world file (the longest key names, the
// longest world path with every byte escaped): a buffer with this much room never cuts one.
inline constexpr std::size_t maxRecordedLineBytes = 2048;

enum class CommandKind {
    Frames,     // frame MS [KEY ...] | frames N MS [KEY ...]
    Screen,     // screen
    Attrs,      // attrs
    Cursor,     // cursor
    Svg,        // svg NAME
    LocalTime,  // local-time HH:MM:SS
    Data,       // data PATH: the data folder the game was played from
    Config,     // config none | config BYTES: the config.ini the game read (none, or its size)
    ConfigLine, // config-line TEXT: one line of it
    World,      // world PATH BYTES HASH | world PATH missing: a world file the game read, as it
                // was then, or one it could not read
    Said,       // said: the sentences the game said since the last said
    Click,      // click X Y: the next frame has a click on the screen cell (X, Y)
};

// What a world file held when it was read: its length and its FNV-1a 64 hash.
struct Fingerprint {
    std::uint64_t length = 0;
    std::uint64_t hash = 0;
    friend bool operator==(const Fingerprint&, const Fingerprint&) = default;
};
Fingerprint fingerprint(std::string_view bytes);

// One script line. Each kind has a row in the command table of Script.cpp (its name and how its
// arguments read).
struct Command {
    CommandKind kind = CommandKind::Frames;
    long long count = 1; // frames: how many; config: its bytes (-1: none)
    FrameInput frame;    // frames: the milliseconds and the keys down; click: the cell
    std::string text;    // svg: the picture's name; data, world: the path; config-line: the bytes
    platform::LocalTime localTime;
    Fingerprint print;    // world
    bool missing = false; // world: the file could not be read
};

// True for the lines that set up the game, which come before the first frame.
bool beforeStart(CommandKind kind);

// What a script line holds.
enum class LineKind { Command, Nothing, Malformed };

// Reads one script line (without its line break; a CR before it, tabs and blanks are spacing).
// Nothing for an empty line or a comment; Malformed with a message for what a runner cannot do.
LineKind parseLine(std::string_view line, Command& command, std::string& error);

// A byte string as a message or a script line shows it: printable ASCII as it is, every other
// byte and the backslash escaped (\x1b, \\), so that nothing can reach a terminal as a control.
std::string shown(std::string_view bytes);
// `text` in single quotes, shown.
std::string inQuotes(std::string_view text);

// HH:MM:SS as a local time of day; false when it is not one.
bool readLocalTime(std::string_view text, platform::LocalTime& time);
// True for a picture's name: not empty, no '/' or '\'.
bool isPictureName(std::string_view name);

// The lines of a recording. Those written while the game runs fill `out` (no allocation) and
// return the bytes written, line feed included; `out` needs maxRecordedLineBytes.
std::size_t formatFrames(std::span<char> out, std::uint32_t count, const FrameInput& frame);
std::size_t formatLocalTime(std::span<char> out, platform::LocalTime time);
// The click of the frame that follows.
std::size_t formatClick(std::span<char> out, platform::ScreenPoint cell);
// `path` is relative to the data folder, with either separator; the line uses '/'. A path on a
// line has its blanks escaped too (\x20), so that it stays one word.
std::size_t formatWorld(std::span<char> out, std::string_view path, const Fingerprint& print);
// A world file the game could not read.
std::size_t formatMissingWorld(std::span<char> out, std::string_view path);
std::string formatData(std::string_view folder);

// The first line of a recording: a comment naming the game's version (`versionText`, "tharvok
// 1.0.0") and how to play it back, with its line feed.
std::string formatRecordingStart(std::string_view versionText);
// True for a first line that formatRecordingStart wrote, of any version (its line feed gone, a
// CR before it allowed). A script that begins with one is a recording: its last line, when it
// has no line feed, was cut short as it was written.
bool isRecordingStart(std::string_view line);
// The config.ini the game read, or that it read none.
std::string formatConfig(const std::optional<std::string>& bytes);

// Collects the config.ini a script carries from its config and config-line lines.
class ConfigText {
public:
    // False with a message when a line does not fit the ones before.
    bool add(const Command& command, std::string& error);
    // Whether the script said anything of its config.ini.
    bool given() const { return given_; }
    // The bytes (none: the game read no config.ini); false with a message when the lines do not
    // hold as many bytes as announced.
    bool finish(std::optional<std::string>& bytes, std::string& error) const;

private:
    bool given_ = false;
    long long size_ = -1;
    std::string bytes_;
};

} // namespace script
