#include "VirtualKeys.h"

#include <array>
#include <charconv>
#include <utility>

namespace platform::vk {

namespace {

constexpr std::array<std::pair<std::string_view, std::uint8_t>, 10> namedKeys = {{
    {"ESC", escape},
    {"ENTER", enter},
    {"TAB", tab},
    {"SPACE", space},
    {"BACK", back},
    {"LEFT", left},
    {"UP", up},
    {"RIGHT", right},
    {"DOWN", down},
    {"LBUTTON", leftButton},
}};

// A run of decimal digits, nothing else.
bool parseDigits(std::string_view text, int& value) {
    if (text.empty() || text.front() < '0' || text.front() > '9') {
        return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

int fromName(std::string_view name) {
    if (name.size() == 1) {
        const char c = name[0];
        if (c >= 'a' && c <= 'z') {
            return c - 'a' + 'A';
        }
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            return c;
        }
        return -1;
    }
    for (const auto& [keyName, code] : namedKeys) {
        if (name == keyName) {
            return code;
        }
    }
    int number = 0;
    if (name.size() >= 2 && name[0] == 'F' && parseDigits(name.substr(1), number) && number >= 1 &&
        number <= f12 - f1 + 1) {
        return f1 + number - 1;
    }
    if (name.size() > 2 && name.substr(0, 2) == "VK" && parseDigits(name.substr(2), number) &&
        number >= 1 && number <= 255) {
        return number;
    }
    return -1;
}

std::string name(int code) {
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) {
        return std::string(1, static_cast<char>(code));
    }
    for (const auto& [keyName, keyCode] : namedKeys) {
        if (code == keyCode) {
            return std::string(keyName);
        }
    }
    // "F" and the function key's number, or "VK" and the code.
    const bool function = code >= f1 && code <= f12;
    std::array<char, 8> text{'V', 'K'};
    char* digits = text.data() + (function ? 1 : 2);
    if (function) {
        text[0] = 'F';
    }
    const auto [end, error] =
        std::to_chars(digits, text.data() + text.size(), function ? code - f1 + 1 : code);
    return error == std::errc() ? std::string(text.data(), end) : std::string();
}

} // namespace platform::vk
