// The lines of the script grammar that a recording writes; Script.cpp reads them.
#include "replay/Script.h"

#include "platform/VirtualKeys.h"

#include <algorithm>
#include <charconv>

namespace script {

namespace {

constexpr char hexDigits[] = "0123456789abcdef";

// The first line of a recording, around the version.
constexpr std::string_view recordingStartHead = "# A game of ";
constexpr std::string_view recordingStartTail = ". To play it back: tharvok-replay THIS-FILE";

// Appends to a fixed buffer, cutting what does not fit.
class LineWriter {
public:
    explicit LineWriter(std::span<char> out) : at_(out.data()), end_(out.data() + out.size()) {}
    void put(std::string_view text) {
        const std::size_t n = std::min(text.size(), static_cast<std::size_t>(end_ - at_));
        at_ = std::copy_n(text.data(), n, at_);
    }
    void put(char c) { put(std::string_view(&c, 1)); }
    void number(std::uint64_t value) { at_ = std::to_chars(at_, end_, value).ptr; }
    void number(std::int64_t value) { at_ = std::to_chars(at_, end_, value).ptr; }
    void twoDigits(int value) {
        put(static_cast<char>('0' + (value / 10) % 10));
        put(static_cast<char>('0' + value % 10));
    }
    // Bytes as `shown` writes them.
    void escaped(std::string_view bytes) {
        for (const char c : bytes) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte == '\\') {
                put("\\\\");
            } else if (byte >= 0x20 && byte < 0x7f) {
                put(c);
            } else {
                const char escape[4] = {'\\', 'x', hexDigits[byte >> 4], hexDigits[byte & 0x0f]};
                put(std::string_view(escape, 4));
            }
        }
    }
    // A path as one word: its blanks escaped as well.
    void path(std::string_view bytes) {
        for (const char c : bytes) {
            if (c == ' ') {
                put("\\x20");
            } else {
                escaped(std::string_view(&c, 1));
            }
        }
    }
    char* at() const { return at_; }

private:
    char* at_;
    char* end_;
};

// world PATH BYTES HASH, or world PATH missing without a fingerprint.
std::size_t worldLine(std::span<char> out, std::string_view path, const Fingerprint* print) {
    LineWriter line(out);
    line.put("world ");
    for (const char c : path) {
        line.path(c == '\\' ? std::string_view("/") : std::string_view(&c, 1));
    }
    if (print == nullptr) {
        line.put(" missing\n");
        return static_cast<std::size_t>(line.at() - out.data());
    }
    line.put(' ');
    line.number(print->length);
    line.put(' ');
    for (int shift = 60; shift >= 0; shift -= 4) {
        line.put(hexDigits[(print->hash >> shift) & 0x0f]);
    }
    line.put('\n');
    return static_cast<std::size_t>(line.at() - out.data());
}

} // namespace

Fingerprint fingerprint(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3u;
    }
    return Fingerprint{bytes.size(), hash};
}

std::string shown(std::string_view bytes) {
    std::string text(bytes.size() * 4, '\0');
    LineWriter writer(text);
    writer.escaped(bytes);
    text.resize(static_cast<std::size_t>(writer.at() - text.data()));
    return text;
}

std::size_t formatClick(std::span<char> out, platform::ScreenPoint cell) {
    LineWriter line(out);
    line.put("click ");
    line.number(std::int64_t{cell.x});
    line.put(' ');
    line.number(std::int64_t{cell.y});
    line.put('\n');
    return static_cast<std::size_t>(line.at() - out.data());
}

std::size_t formatFrames(std::span<char> out, std::uint32_t count, const FrameInput& frame) {
    LineWriter line(out);
    if (count == 1) {
        line.put("frame ");
    } else {
        line.put("frames ");
        line.number(std::uint64_t{count});
        line.put(' ');
    }
    line.number(frame.ms);
    for (const std::uint8_t key : frame.keysDown()) {
        line.put(' ');
        // A key's name is short (a letter, a word of the script, VK and a code): no allocation.
        line.put(platform::vk::name(key));
    }
    line.put('\n');
    return static_cast<std::size_t>(line.at() - out.data());
}

std::size_t formatLocalTime(std::span<char> out, platform::LocalTime time) {
    LineWriter line(out);
    line.put("local-time ");
    line.twoDigits(time.hour);
    line.put(':');
    line.twoDigits(time.minute);
    line.put(':');
    line.twoDigits(time.second);
    line.put('\n');
    return static_cast<std::size_t>(line.at() - out.data());
}

std::size_t formatWorld(std::span<char> out, std::string_view path, const Fingerprint& print) {
    return worldLine(out, path, &print);
}

std::size_t formatMissingWorld(std::span<char> out, std::string_view path) {
    return worldLine(out, path, nullptr);
}

std::string formatData(std::string_view folder) {
    std::string text(folder.size() * 4 + 6, '\0');
    LineWriter line(text);
    line.put("data ");
    line.path(folder);
    line.put('\n');
    text.resize(static_cast<std::size_t>(line.at() - text.data()));
    return text;
}

std::string formatRecordingStart(std::string_view versionText) {
    return std::string(recordingStartHead).append(versionText).append(recordingStartTail) + "\n";
}

bool isRecordingStart(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line.starts_with(recordingStartHead) && line.ends_with(recordingStartTail) &&
           line.size() > recordingStartHead.size() + recordingStartTail.size();
}

std::string formatConfig(const std::optional<std::string>& bytes) {
    if (!bytes) {
        return "config none\n";
    }
    std::string text = "config " + std::to_string(bytes->size()) + "\n";
    std::string_view rest = *bytes;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        text += "config-line " + shown(rest.substr(0, end)) + "\n";
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return text;
}

} // namespace script
