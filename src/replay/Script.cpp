#include "replay/Script.h"

#include "platform/VirtualKeys.h"

#include <algorithm>
#include <charconv>

namespace script {

namespace {

constexpr char hexDigits[] = "0123456789abcdef";

bool parseInteger(std::string_view text, long long& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc() && end == last && !text.empty();
}

bool parseInRange(std::string_view text, long long least, long long most, long long& value) {
    return parseInteger(text, value) && value >= least && value <= most;
}

// The arguments of each command: false with a message when they do not fit. `rest` is the line
// after the command's name and the blank that follows it.
using ParseArguments = bool (*)(std::string_view name, std::span<const std::string_view> args,
                                std::string_view rest, Command& command, std::string& error);

bool readKeys(std::span<const std::string_view> names, Command& command, std::string& error) {
    for (const std::string_view name : names) {
        const int code = platform::vk::fromName(std::string(name));
        if (code < 0) {
            error = "unknown key " + inQuotes(name);
            return false;
        }
        command.frame.addKey(code);
    }
    return true;
}

bool readMilliseconds(std::string_view text, Command& command, std::string& error) {
    long long ms = 0;
    if (!parseInRange(text, -maxFrameMs, maxFrameMs, ms)) {
        error = "bad milliseconds " + inQuotes(text) + " (from " + std::to_string(-maxFrameMs) +
                " to " + std::to_string(maxFrameMs) + ")";
        return false;
    }
    command.frame.ms = ms;
    return true;
}

// frame MS [KEY ...]
bool parseFrame(std::string_view name, std::span<const std::string_view> args, std::string_view,
                Command& command, std::string& error) {
    if (args.empty()) {
        error = inQuotes(name) + " needs milliseconds";
        return false;
    }
    command.count = 1;
    return readMilliseconds(args[0], command, error) && readKeys(args.subspan(1), command, error);
}

// frames N MS [KEY ...]
bool parseFrames(std::string_view name, std::span<const std::string_view> args, std::string_view,
                 Command& command, std::string& error) {
    if (args.size() < 2) {
        error = inQuotes(name) + " needs a count and milliseconds";
        return false;
    }
    if (!parseInRange(args[0], 0, maxFrameCount, command.count)) {
        error = "bad frame count " + inQuotes(args[0]) + " (from 0 to " +
                std::to_string(maxFrameCount) + ")";
        return false;
    }
    return readMilliseconds(args[1], command, error) && readKeys(args.subspan(2), command, error);
}

bool parseNoArguments(std::string_view name, std::span<const std::string_view> args,
                      std::string_view, Command&, std::string& error) {
    if (!args.empty()) {
        error = inQuotes(name) + " takes no arguments";
        return false;
    }
    return true;
}

// local-time HH:MM:SS
bool parseLocalTime(std::string_view name, std::span<const std::string_view> args, std::string_view,
                    Command& command, std::string& error) {
    if (args.size() != 1 || !readLocalTime(args[0], command.localTime)) {
        error = inQuotes(name) + " takes HH:MM:SS";
        return false;
    }
    return true;
}

// click X Y
bool parseClick(std::string_view name, std::span<const std::string_view> args, std::string_view,
                Command& command, std::string& error) {
    long long x = 0;
    long long y = 0;
    if (args.size() != 2 || !parseInRange(args[0], 0, platform::lastColumn, x) ||
        !parseInRange(args[1], 0, platform::lastRow, y)) {
        error = inQuotes(name) + " takes a screen cell: X from 0 to " +
                std::to_string(platform::lastColumn) + ", Y from 0 to " +
                std::to_string(platform::lastRow);
        return false;
    }
    command.frame.click = platform::ScreenPoint{static_cast<int>(x), static_cast<int>(y)};
    return true;
}

// svg NAME
bool parseSvg(std::string_view name, std::span<const std::string_view> args, std::string_view,
              Command& command, std::string& error) {
    if (args.size() != 1 || !isPictureName(args[0])) {
        error = inQuotes(name) + " takes one name, without '/' or '\\'";
        return false;
    }
    command.text = std::string(args[0]);
    return true;
}

// The bytes that `shown` wrote as `text`; false when an escape is not one of its own.
bool unescape(std::string_view text, std::string& bytes) {
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes.push_back(text[i]);
        } else if (i + 1 < text.size() && text[i + 1] == '\\') {
            bytes.push_back('\\');
            ++i;
        } else {
            const auto digit = [&](std::size_t at) {
                const char* found =
                    at < text.size() ? std::find(hexDigits, hexDigits + 16, text[at]) : nullptr;
                return found != nullptr && found != hexDigits + 16 ? found - hexDigits : -1;
            };
            const long high = i + 1 < text.size() && text[i + 1] == 'x' ? digit(i + 2) : -1;
            const long low = high >= 0 ? digit(i + 3) : -1;
            if (low < 0) {
                return false;
            }
            bytes.push_back(static_cast<char>(high * 16 + low));
            i += 3;
        }
    }
    return true;
}

bool readPath(std::string_view name, std::string_view word, Command& command, std::string& error) {
    if (!unescape(word, command.text) || command.text.empty()) {
        error = inQuotes(name) + " takes a path (\\\\ and \\xHH escapes)";
        return false;
    }
    return true;
}

// data PATH. Recordings of version 1.0.0 wrote the blanks of the path as they are: a path of
// several words is the rest of the line.
bool parseData(std::string_view name, std::span<const std::string_view> args, std::string_view rest,
               Command& command, std::string& error) {
    if (args.empty()) {
        error = inQuotes(name) + " takes one path";
        return false;
    }
    return readPath(name, args.size() == 1 ? args[0] : rest, command, error);
}

// config none | config BYTES
bool parseConfig(std::string_view name, std::span<const std::string_view> args, std::string_view,
                 Command& command, std::string& error) {
    if (args.size() == 1 && args[0] == "none") {
        command.count = -1;
        return true;
    }
    if (args.size() != 1 ||
        !parseInRange(args[0], 0, static_cast<long long>(maxFileBytes), command.count)) {
        error = inQuotes(name) + " takes 'none' or its size in bytes (0 to " +
                std::to_string(maxFileBytes) + ")";
        return false;
    }
    return true;
}

// config-line TEXT
bool parseConfigLine(std::string_view name, std::span<const std::string_view>,
                     std::string_view rest, Command& command, std::string& error) {
    if (!unescape(rest, command.text)) {
        error = inQuotes(name) + " holds a backslash that is neither \\\\ nor \\xHH";
        return false;
    }
    return true;
}

bool parseHash(std::string_view text, std::uint64_t& hash) {
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), hash, 16);
    return text.size() == 16 && failure == std::errc() && end == text.data() + text.size();
}

// world PATH BYTES HASH | world PATH missing
bool parseWorld(std::string_view name, std::span<const std::string_view> args, std::string_view,
                Command& command, std::string& error) {
    long long length = 0;
    command.missing = args.size() == 2 && args[1] == "missing";
    if (!command.missing && (args.size() != 3 || !parseInRange(args[1], 0, maxFileBytes, length) ||
                             !parseHash(args[2], command.print.hash))) {
        error = inQuotes(name) +
                " takes a path, then its size in bytes and 16 hexadecimal digits, or 'missing'";
        return false;
    }
    command.print.length = static_cast<std::uint64_t>(length);
    return readPath(name, args[0], command, error);
}

struct CommandSyntax {
    std::string_view name;
    CommandKind kind;
    ParseArguments parse;
};

// Every command a script can hold.
constexpr CommandSyntax commandTable[] = {
    {"frame", CommandKind::Frames, parseFrame},
    {"frames", CommandKind::Frames, parseFrames},
    {"screen", CommandKind::Screen, parseNoArguments},
    {"attrs", CommandKind::Attrs, parseNoArguments},
    {"cursor", CommandKind::Cursor, parseNoArguments},
    {"svg", CommandKind::Svg, parseSvg},
    {"local-time", CommandKind::LocalTime, parseLocalTime},
    {"data", CommandKind::Data, parseData},
    {"config", CommandKind::Config, parseConfig},
    {"config-line", CommandKind::ConfigLine, parseConfigLine},
    {"world", CommandKind::World, parseWorld},
    {"said", CommandKind::Said, parseNoArguments},
    {"click", CommandKind::Click, parseClick},
};

} // namespace

bool beforeStart(CommandKind kind) {
    return kind == CommandKind::LocalTime || kind == CommandKind::Data ||
           kind == CommandKind::Config || kind == CommandKind::ConfigLine;
}

std::string inQuotes(std::string_view text) {
    std::string result = "'";
    result.append(shown(text)).push_back('\'');
    return result;
}

bool readLocalTime(std::string_view text, platform::LocalTime& time) {
    long long h = 0;
    long long m = 0;
    long long s = 0;
    const bool shaped = text.size() == 8 && text[2] == ':' && text[5] == ':' &&
                        parseInRange(text.substr(0, 2), 0, 23, h) &&
                        parseInRange(text.substr(3, 2), 0, 59, m) &&
                        parseInRange(text.substr(6, 2), 0, 59, s);
    if (shaped) {
        time = {static_cast<int>(h), static_cast<int>(m), static_cast<int>(s)};
    }
    return shaped;
}

bool isPictureName(std::string_view name) {
    if (name.empty()) {
        return false;
    }
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || byte < 32 || byte == 127) {
            return false;
        }
    }
    return true;
}

LineKind parseLine(std::string_view line, Command& command, std::string& error) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    // Words between blanks and tabs; a line has at most maxLineBytes / 2 of them.
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t", at);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(line.find_first_of(" \t", start), line.size());
        words.push_back(line.substr(start, end - start));
        at = end;
    }
    if (words.empty() || words[0].front() == '#') {
        return LineKind::Nothing;
    }
    for (const CommandSyntax& syntax : commandTable) {
        if (syntax.name == words[0]) {
            command = Command{};
            command.kind = syntax.kind;
            const std::span<const std::string_view> args(words.data() + 1, words.size() - 1);
            const std::size_t restAt =
                static_cast<std::size_t>(words[0].data() - line.data()) + words[0].size() + 1;
            const std::string_view rest = restAt < line.size() ? line.substr(restAt) : "";
            return syntax.parse(syntax.name, args, rest, command, error) ? LineKind::Command
                                                                         : LineKind::Malformed;
        }
    }
    error = "unknown command " + inQuotes(words[0]);
    return LineKind::Malformed;
}

bool ConfigText::add(const Command& command, std::string& error) {
    if (command.kind == CommandKind::Config) {
        if (given_) {
            error = "a second 'config' line";
            return false;
        }
        given_ = true;
        size_ = command.count;
        return true;
    }
    if (!given_ || size_ < 0) {
        error = "'config-line' without 'config BYTES' before it";
        return false;
    }
    bytes_.append(command.text).push_back('\n');
    if (bytes_.size() > static_cast<std::size_t>(size_) + 1) {
        error = "'config-line' beyond the " + std::to_string(size_) + " bytes announced";
        return false;
    }
    return true;
}

bool ConfigText::finish(std::optional<std::string>& bytes, std::string& error) const {
    if (size_ < 0) {
        bytes.reset();
        return true;
    }
    const auto size = static_cast<std::size_t>(size_);
    // The last line's line feed is not the file's when the file ends without one.
    if (bytes_.size() != size && bytes_.size() != size + 1) {
        error = "the 'config-line' lines hold " + std::to_string(bytes_.size()) +
                " bytes, not the " + std::to_string(size) + " announced";
        return false;
    }
    bytes = bytes_.substr(0, size);
    return true;
}

} // namespace script
