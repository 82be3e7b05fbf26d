#include "VirtualKeys.h"

#include <algorithm>
#include <array>
#include <cctype>
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

// A prefix and a number: "F" 5 is "F5". (Built in a buffer: GCC 12 warns wrongly about
// adding a short literal to std::to_string at -O3.)
std::string withNumber(std::string_view prefix, int number) {
    std::array<char, 32> text{};
    std::copy(prefix.begin(), prefix.end(), text.begin());
    const auto [end, error] =
        std::to_chars(text.data() + prefix.size(), text.data() + text.size(), number);
    return error == std::errc() ? std::string(text.data(), end) : std::string(prefix);
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
    if (code >= f1 && code <= f12) {
        return withNumber("F", code - f1 + 1);
    }
    return withNumber("VK", code);
}

std::string displayName(int code) {
    static constexpr std::array<std::pair<int, std::string_view>, 34> names = {{
        {leftButton, "left mouse button"},
        {2, "right mouse button"},
        {4, "middle mouse button"},
        {back, "Backspace"},
        {tab, "Tab"},
        {enter, "Enter"},
        {shift, "Shift"},
        {control, "Ctrl"},
        {menu, "Alt"},
        {escape, "Escape"},
        {space, "Space"},
        {prior, "Page Up"},
        {next, "Page Down"},
        {end, "End"},
        {home, "Home"},
        {left, "Left arrow"},
        {up, "Up arrow"},
        {right, "Right arrow"},
        {down, "Down arrow"},
        {insert, "Insert"},
        {del, "Delete"},
        {multiply, "Keypad *"},
        {add, "Keypad +"},
        {subtract, "Keypad -"},
        {decimal, "Keypad ."},
        {divide, "Keypad /"},
        {186, ";"},
        {oemPlus, "="},
        {188, ","},
        {189, "-"},
        {190, "."},
        {191, "/"},
        {192, "`"},
        {222, "'"},
    }};
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) {
        return std::string(1, static_cast<char>(code));
    }
    if (code >= numpad0 && code <= numpad0 + 9) {
        return withNumber("Keypad ", code - numpad0);
    }
    if (code >= f1 && code < f1 + 24) {
        return withNumber("F", code - f1 + 1);
    }
    if (code == 219 || code == 220 || code == 221) {
        return std::string(1, "[\\]"[code - 219]);
    }
    for (const auto& [keyCode, keyName] : names) {
        if (code == keyCode) {
            return std::string(keyName);
        }
    }
    return withNumber("key code ", code);
}

namespace {

// A key's name as names are compared: small letters, without blanks and '_'.
std::string folded(std::string_view text) {
    std::string result;
    for (const char c : text) {
        if (c != ' ' && c != '_') {
            result += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return result;
}

} // namespace

int fromPlayerName(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) {
        return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    });
    if (const int code = fromName(upper); code > 0) {
        return code;
    }
    const std::string wanted = folded(text);
    static constexpr std::array<std::pair<std::string_view, std::uint8_t>, 8> others = {{
        {"esc", escape},
        {"return", enter},
        {"del", del},
        {"ins", insert},
        {"control", control},
        {"pgup", prior},
        {"pgdn", next},
        {"spacebar", space},
    }};
    for (const auto& [name, code] : others) {
        if (wanted == name) {
            return code;
        }
    }
    constexpr std::string_view arrow = "arrow";
    for (int code = 1; code <= 255; ++code) {
        const std::string name = displayName(code);
        if (name.starts_with("key code")) {
            continue;
        }
        const std::string key = folded(name);
        if (wanted == key ||
            (key.ends_with(arrow) &&
             (wanted == arrow.data() + key.substr(0, key.size() - arrow.size())))) {
            return code;
        }
    }
    return -1;
}

} // namespace platform::vk
