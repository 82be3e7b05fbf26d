// The lines of the script grammar that a recording writes; Script.cpp reads them.
#include "app/Script.h"

#include "platform/VirtualKeys.h"

#include <algorithm>
#include <charconv>

namespace script {

namespace {

constexpr char hexDigits[] = "0123456789abcdef";

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
    char* at() const { return at_; }

private:
    char* at_;
    char* end_;
};

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
    LineWriter line(out);
    line.put("world ");
    for (const char c : path) {
        line.escaped(c == '\\' ? std::string_view("/") : std::string_view(&c, 1));
    }
    line.put(' ');
    line.number(print.length);
    line.put(' ');
    for (int shift = 60; shift >= 0; shift -= 4) {
        line.put(hexDigits[(print.hash >> shift) & 0x0f]);
    }
    line.put('\n');
    return static_cast<std::size_t>(line.at() - out.data());
}

std::string formatData(std::string_view folder) { return "data " + shown(folder) + "\n"; }

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
