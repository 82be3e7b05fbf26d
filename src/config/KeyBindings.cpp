#include "config/KeyBindings.h"

#include "config/ConfigFile.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <string>

std::int32_t keyCodeFromCharacter(char value) {
    const auto byte = static_cast<std::uint8_t>(value);
    if (byte >= 'a' && byte <= 'z') {
        return byte - ('a' - 'A');
    }
    return byte;
}

std::int32_t keyCodeFromNumber(std::int32_t value) {
    return value >= 0 && value <= 255 ? value : 0;
}

namespace {

bool named(const Action& row) {
    return row.form == BindingForm::Character || row.form == BindingForm::Number;
}

// `text` is `word` (small letters) in any letter case, with any whitespace around it.
bool sameWord(std::string_view text, std::string_view word) {
    constexpr std::string_view whitespace = " \t\n\v\f\r";
    const auto first = text.find_first_not_of(whitespace);
    text = first == std::string_view::npos
               ? std::string_view()
               : text.substr(first, text.find_last_not_of(whitespace) - first + 1);
    return std::equal(text.begin(), text.end(), word.begin(), word.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

} // namespace

KeyCodes bindKeys(const ConfigFile& config) {
    KeyCodes keys{};
    for (const Action& row : actions) {
        const auto slot = static_cast<std::size_t>(row.slot);
        const std::string name(row.name);
        switch (row.form) {
        case BindingForm::Character:
            keys[slot] = keyCodeFromCharacter(config.get(name, static_cast<char>(row.fallback)));
            break;
        case BindingForm::Number:
            keys[slot] = keyCodeFromNumber(config.get(name, row.fallback));
            break;
        case BindingForm::Fixed:
        case BindingForm::Spare:
            keys[slot] = row.fallback;
            break;
        }
    }
    for (const Action& spare : actions) {
        if (spare.form != BindingForm::Spare) {
            continue;
        }
        for (const Action& row : actions) {
            if (named(row) && keys[static_cast<std::size_t>(row.slot)] == spare.fallback) {
                keys[static_cast<std::size_t>(spare.slot)] = 0;
            }
        }
    }
    return keys;
}

KeyCodes readKeyBindings(const std::filesystem::path& file) {
    ConfigFile config;
    config.load(file);
    return bindKeys(config);
}

bool isPointingValue(std::string_view value) {
    return sameWord(value, "on") || sameWord(value, "off");
}

bool pointingOn(const ConfigFile& config) {
    const auto it = config.entries.find(std::string(pointingName));
    return it != config.entries.end() && sameWord(it->second, "on");
}
