#include "Asciicast.h"

#include <cstdio>

namespace replay {

namespace {

// What the game sends a terminal when it ends, as far as the screen goes: colours off, the
// cursor shown. (The alternate screen, the title and the input modes it uses on a terminal are no
// part of a recording.)
constexpr std::string_view endSequence = "\x1b[0m\x1b[?25h";

void writeEvent(std::ofstream& file, std::int64_t ms, std::string_view text) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%lld.%03lld", static_cast<long long>(ms / 1000),
                  static_cast<long long>(ms % 1000));
    file << '[' << seconds << ", \"o\", \"" << jsonEscaped(text) << "\"]\n";
}

} // namespace

std::string jsonEscaped(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 4);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            text += '\\';
            text += c;
        } else if (byte < 0x20 || byte == 0x7f) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            text += escape;
        } else {
            text += c;
        }
    }
    return text;
}

bool Asciicast::open(const std::filesystem::path& file, std::string_view title,
                     std::string& error) {
    file_.open(file, std::ios::binary | std::ios::trunc);
    file_ << "{\"version\": 2, \"width\": " << platform::screenWidth
          << ", \"height\": " << platform::screenHeight << ", \"title\": \"" << jsonEscaped(title)
          << "\", \"env\": {\"TERM\": \"xterm-256color\"}}\n";
    if (!file_.flush()) {
        error = "cannot write the terminal recording";
        return false;
    }
    return true;
}

void Asciicast::frame(std::int64_t ms,
                      const std::array<platform::Cell, platform::screenCellCount>& cells,
                      int cursorX, int cursorY, bool cursorVisible) {
    const std::string_view text =
        presenter_.presentFrame(cells, cursorX, cursorY, cursorVisible, bytes_);
    if (text.empty()) {
        return;
    }
    writeEvent(file_, ms, text);
}

bool Asciicast::finish(std::int64_t ms) {
    writeEvent(file_, ms, endSequence);
    file_.close();
    return !file_.fail();
}

} // namespace replay
