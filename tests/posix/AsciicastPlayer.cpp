#include "AsciicastPlayer.h"

#include <fstream>
#include <string_view>

namespace posixtest {

namespace {

// Reads a JSON string starting at `at` (its opening quote); false when it is not one.
bool readString(std::string_view text, std::size_t& at, std::string& out) {
    if (at >= text.size() || text[at] != '"') {
        return false;
    }
    for (++at; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '"') {
            ++at;
            return true;
        }
        if (static_cast<unsigned char>(c) < 0x20) {
            return false; // control bytes must be escaped
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++at >= text.size()) {
            return false;
        }
        switch (text[at]) {
        case '"':
        case '\\':
        case '/':
            out += text[at];
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'b':
            out += '\b';
            break;
        case 'f':
            out += '\f';
            break;
        case 'u': {
            if (at + 4 >= text.size()) {
                return false;
            }
            const std::string hex(text.substr(at + 1, 4));
            if (hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
                return false;
            }
            out += utf8(static_cast<char32_t>(std::stoul(hex, nullptr, 16)));
            at += 4;
            break;
        }
        default:
            return false;
        }
    }
    return false;
}

} // namespace

std::string utf8(char32_t code) {
    std::string out;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

std::string screenText(const TerminalEmulator& term) {
    std::string text;
    for (int y = 0; y < term.rows(); ++y) {
        for (int x = 0; x < term.columns(); ++x) {
            text += utf8(term.at(x, y).ch);
        }
        text += '\n';
    }
    return text;
}

std::string playAsciicast(const std::filesystem::path& file, TerminalEmulator& term) {
    std::ifstream in(file, std::ios::binary);
    std::string line;
    if (!std::getline(in, line)) {
        return "no header";
    }
    for (const char* field : {"\"version\": 2", "\"width\": 80", "\"height\": 25", "\"title\": "}) {
        if (line.front() != '{' || line.back() != '}' || line.find(field) == std::string::npos) {
            return "the header lacks " + std::string(field) + ": " + line;
        }
    }
    double last = 0;
    for (int number = 2; std::getline(in, line); ++number) {
        const std::string where = "line " + std::to_string(number) + ": ";
        std::size_t at = 0;
        if (line.empty() || line[0] != '[') {
            return where + "not an event";
        }
        std::size_t used = 0;
        const double seconds = std::stod(line.substr(1), &used);
        at = 1 + used;
        if (seconds < last) {
            return where + "the time goes back";
        }
        last = seconds;
        std::string kind;
        std::string text;
        if (line.compare(at, 2, ", ") != 0 || !readString(line, at += 2, kind) || kind != "o" ||
            line.compare(at, 2, ", ") != 0 || !readString(line, at += 2, text) ||
            line.substr(at) != "]") {
            return where + "not [seconds, \"o\", text]";
        }
        term.feed(text);
    }
    return "";
}

} // namespace posixtest
