#include "Check.h"

#include "config/ConfigFile.h"
#include "config/KeyBindings.h"
#include "platform/VirtualKeys.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>

namespace worldtool {

namespace {

// Edits (insert, delete, change a letter) from one name to another, letter case aside.
std::size_t distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The known name nearest to `key`, when one is near enough to be what was meant.
std::optional<std::string_view> nearestName(std::string_view key) {
    std::optional<std::string_view> best;
    std::size_t bestDistance = 0;
    for (const KeyBinding& binding : keyBindings) {
        const std::size_t d = distance(key, binding.name);
        if (!best || d < bestDistance) {
            best = binding.name;
            bestDistance = d;
        }
    }
    if (best && (bestDistance <= 2 || bestDistance * 3 <= best->size())) {
        return best;
    }
    return std::nullopt;
}

const KeyBinding* bindingNamed(std::string_view key) {
    for (const KeyBinding& binding : keyBindings) {
        if (key == binding.name) {
            return &binding;
        }
    }
    return nullptr;
}

std::string keyName(std::int32_t code) { return platform::vk::name(code); }

} // namespace

void checkConfig(const DataFolder& data, Report& report) {
    const std::string file = configFileName;
    std::string text;
    if (!data.readConfig(text)) {
        report.warning(file, {}, "missing or cannot be read: the game binds no key but Escape");
        return;
    }
    ConfigFile config;
    std::vector<ConfigLine> lines;
    config.parse(text, &lines);
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
        report.warning(file, {1, 1},
                       "the file starts with a byte-order mark, which the game reads as part of "
                       "the first line");
    }
    const KeyCodes codes = bindKeys(config);
    std::map<std::string_view, std::uint32_t> firstLine;
    // Which action, on which line, holds each key; Escape is always bound.
    std::map<std::int32_t, std::string> holders{{codes[0], "the fixed Escape key"}};
    for (const ConfigLine& line : lines) {
        const auto firstText = line.text.find_first_not_of(" \t");
        const FilePosition start{
            line.line,
            static_cast<std::uint32_t>(firstText == std::string_view::npos ? 1 : firstText + 1)};
        const FilePosition key{line.line, line.keyColumn};
        const FilePosition value{line.line, line.valueColumn};
        switch (line.kind) {
        case ConfigLine::Kind::Blank:
        case ConfigLine::Kind::Comment:
        case ConfigLine::Kind::Section:
            break;
        case ConfigLine::Kind::NoEquals:
            if (firstText != std::string_view::npos) {
                const char lead = line.text[firstText];
                report.warning(file, start,
                               std::string("the game skips this line: it has no '='") +
                                   (firstText > 0 && (lead == '#' || lead == '[')
                                        ? " (a comment's '#' or a section's '[' must be the "
                                          "first character)"
                                        : ""));
            }
            break;
        case ConfigLine::Kind::EmptyKey:
            report.warning(file, start, "the game skips this line: it has no name before '='");
            break;
        case ConfigLine::Kind::Repeated:
            report.warning(file, key,
                           escaped(line.key) + " is set again: the game keeps the first value, " +
                               "on line " + std::to_string(firstLine[line.key]) +
                               ", and skips this line");
            break;
        case ConfigLine::Kind::Entry: {
            firstLine[line.key] = line.line;
            const KeyBinding* binding = bindingNamed(line.key);
            if (binding == nullptr) {
                std::string message;
                if (line.key.front() == '#' || line.key.front() == '[') {
                    message = "the game reads this line as a setting named " + inQuotes(line.key) +
                              ": a comment's '#' or a section's '[' must be the first character";
                } else {
                    message = inQuotes(line.key) + " is not a name the game knows";
                    if (const auto near = nearestName(line.key)) {
                        message += " (did you mean " + std::string(*near) + "?";
                        if (line.key.find('\t') != std::string_view::npos) {
                            message += " A tab before '=' belongs to the name.";
                        }
                        message += ")";
                    }
                    message += ": the line does nothing";
                }
                report.warning(file, key, message);
                break;
            }
            const auto slot = static_cast<std::size_t>(binding - keyBindings.data()) + 1;
            const std::int32_t code = codes[slot];
            const bool number = binding->form == BindingForm::Number;
            if (line.value.empty()) {
                report.warning(file, value,
                               std::string(binding->name) + " has an empty value: the action has "
                                                            "no key");
                break;
            }
            if (code == 0) {
                report.warning(file, value,
                               std::string(binding->name) + " = " + inQuotes(line.value) +
                                   " binds no key: it takes " +
                                   (number ? "a virtual-key code from 1 to 255 (13 Enter, 9 Tab)"
                                           : "a character (a letter, a digit, or & ( % ' for "
                                             "the arrow keys)"));
                break;
            }
            if (!number && line.value.size() > 1) {
                report.warning(file, value,
                               std::string(binding->name) + " = " + inQuotes(line.value) +
                                   " binds " + keyName(code) +
                                   ": only the first character of a value counts");
            }
            const auto [holder, added] = holders.try_emplace(
                code, std::string(binding->name) + " (line " + std::to_string(line.line) + ")");
            if (!added) {
                report.warning(file, value,
                               std::string(binding->name) + " binds " + keyName(code) +
                                   ", as does " + holder->second + ": one key does both");
            }
            break;
        }
        }
    }
}

} // namespace worldtool
