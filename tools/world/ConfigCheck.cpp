#include "Check.h"

#include "config/ConfigFile.h"
#include "config/KeyBindings.h"
#include "platform/VirtualKeys.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <optional>
#include <string_view>
#include <utility>

namespace worldtool {

namespace {

// The known name nearest to `key` (an action's or a setting's), when one is near enough to be
// what was meant.
std::optional<std::string_view> nearestName(std::string_view key) {
    std::optional<std::string_view> best;
    std::size_t bestDistance = 0;
    const auto consider = [&](std::string_view name) {
        const std::size_t d = editDistance(key, name, true);
        if (!best || d < bestDistance) {
            best = name;
            bestDistance = d;
        }
    };
    for (const Action& row : actions) {
        if (!row.name.empty()) {
            consider(row.name);
        }
    }
    consider(pointingName);
    if (best && (bestDistance <= 2 || bestDistance * 3 <= best->size())) {
        return best;
    }
    return std::nullopt;
}

// The name a line meant to set: its own, or the known name nearest to it (for a line without
// '=', its first word's).
std::optional<std::string_view> meantName(const ConfigLine& line) {
    std::string_view key = line.key;
    if (line.kind == ConfigLine::Kind::NoEquals) {
        const auto start = line.text.find_first_not_of(" \t");
        if (start == std::string_view::npos) {
            return std::nullopt;
        }
        key = line.text.substr(start);
        key = key.substr(0, key.find_first_of(" \t"));
    } else if (line.kind != ConfigLine::Kind::Entry) {
        return std::nullopt;
    }
    return nearestName(key);
}

// The action config.ini binds by `key`, or null.
const Action* actionNamed(std::string_view key) {
    for (const Action& row : actions) {
        if (!row.name.empty() && key == row.name) {
            return &row;
        }
    }
    return nullptr;
}

std::string keyName(std::int32_t code) { return platform::vk::displayName(code); }

// Why a key that two actions hold is an error: the game polls it once for each, so it never
// counts as newly pressed, and neither action works on a press.
std::string twiceBound(std::string_view key, const Action& first, const Action& second) {
    // What one action loses may hold what the other does ("follows a link or chooses in the
    // menu" holds "chooses in the menu"): that is said once.
    std::string_view a = first.pressDoes;
    std::string_view b = second.pressDoes;
    if (a.find(b) != std::string_view::npos) {
        b = {};
    } else if (b.find(a) != std::string_view::npos) {
        a = b;
        b = {};
    }
    const std::string lost =
        std::string(a) + (!a.empty() && !b.empty() ? ", nor " : "") + std::string(b);
    std::string text = "a key bound to two actions never counts as newly pressed, so ";
    if (lost.empty()) {
        return text + "neither takes a press of " + std::string(key);
    }
    text += std::string(key) + " no longer " + lost;
    if (first.name.starts_with("cMove") || second.name.starts_with("cMove")) {
        text += " (held, it still moves)";
    }
    return text;
}

// The character a character-form value binds `code` with, or 0 when none can.
char characterFor(std::int32_t code) {
    for (char c = '!'; c <= '~'; ++c) {
        if (keyCodeFromCharacter(c) == code) {
            return c;
        }
    }
    return 0;
}

// "cSelect, cToggleRightOverlay and cHelp": the actions that take a key code.
std::string numberNames() {
    std::vector<std::string_view> names;
    for (const Action& row : actions) {
        if (row.form == BindingForm::Number) {
            names.push_back(row.name);
        }
    }
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += i == 0 ? "" : i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

// A value that names a key (cMoveUp = Up) where the game reads another, or none: what the game
// binds (`code`), then, after `follows` (what follows from that), how to bind the key named.
std::optional<std::string> keyNamed(const Action& binding, std::string_view value,
                                    std::int32_t code, std::string_view follows) {
    const int named = value.size() > 1 ? platform::vk::fromPlayerName(value) : -1;
    if (named <= 0 || named == code) {
        return std::nullopt;
    }
    const std::string key = keyName(named);
    std::string text = std::string(binding.name) + " = " + inQuotes(value) + " binds ";
    const std::string got = binding.form == BindingForm::Number ? "no key" : keyName(code);
    if (named == action(KeySlot::Escape).fallback) {
        return text + got + std::string(follows) + "; " + key + " is the fixed key that " +
               std::string(action(KeySlot::Escape).pressDoes) + ": give " +
               std::string(binding.name) + " another key";
    }
    if (binding.form == BindingForm::Number) {
        return text + "no key" + std::string(follows) +
               ": it takes a virtual-key code, not a key's name; write " + std::to_string(named) +
               " for " + key;
    }
    text +=
        got + ", not " + key + std::string(follows) + ": the game reads only the first character";
    if (const char c = characterFor(named); c != 0) {
        return text + "; write " + std::string(1, c) + " for " + key;
    }
    return text + ", and no character binds " + key + ": only " + numberNames() +
           " take a key code (" + std::to_string(named) + ")";
}

} // namespace

void checkConfig(const std::string& file, platform::FileStatus status, const std::string& text,
                 Report& report) {
    if (status != platform::FileStatus::Ok) {
        const std::string why = ignoredConfigReason(status);
        report.error(
            file, {},
            (why.empty() ? "missing: the game" : "the file " + why + ": the game ignores it and") +
                " binds no key but Escape and F1, so the player cannot walk");
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
    // Each action the game needs that has no key: the line that meant to bind it says so, as an
    // error, in place of what it would say otherwise; without such a line, the file does.
    std::map<std::uint32_t, const Action*> unbinding;
    for (const Action& need : actions) {
        if (need.needed.empty() || codes[static_cast<std::size_t>(need.slot)] != 0) {
            continue;
        }
        auto meant = std::find_if(lines.begin(), lines.end(), [&](const ConfigLine& line) {
            return line.kind == ConfigLine::Kind::Entry && line.key == need.name;
        });
        if (meant == lines.end()) {
            meant = std::find_if(lines.begin(), lines.end(), [&](const ConfigLine& line) {
                return meantName(line) == need.name && unbinding.count(line.line) == 0;
            });
        }
        if (meant == lines.end()) {
            report.error(file, {},
                         "no line binds " + std::string(need.name) + ": the game has no key to " +
                             std::string(need.needed));
        } else {
            unbinding[meant->line] = &need;
        }
    }
    // A line's finding, with what follows from it: an error when it leaves an action without a
    // key, which is then what follows.
    auto finding = [&](const ConfigLine& line, FilePosition at, std::string message,
                       std::string_view follows = {}) {
        const auto need = unbinding.find(line.line);
        if (need == unbinding.end()) {
            report.warning(file, at, message.append(follows));
        } else {
            report.error(file, at,
                         message + ", so the game has no key to " +
                             std::string(need->second->needed));
        }
    };
    std::map<std::string_view, std::uint32_t> firstLine;
    // Which action holds each key, and where it is named; Escape is always bound.
    struct Holder {
        const Action* action;
        std::string named;
    };
    std::map<std::int32_t, Holder> holders{
        {codes[0], {&action(KeySlot::Escape), "the fixed Escape key"}}};
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
                finding(line, start,
                        std::string("the game skips this line: it has no '='") +
                            (firstText > 0 && (lead == '#' || lead == '[')
                                 ? " (a comment's '#' or a section's '[' must be the "
                                   "first character)"
                                 : ""));
            }
            break;
        case ConfigLine::Kind::EmptyKey:
            finding(line, start, "the game skips this line: it has no name before '='");
            break;
        case ConfigLine::Kind::Repeated:
            finding(line, key,
                    escaped(line.key) + " is set again: the game keeps the first value, " +
                        "on line " + std::to_string(firstLine[line.key]) + ", and skips this line");
            break;
        case ConfigLine::Kind::Entry: {
            firstLine[line.key] = line.line;
            if (line.key == pointingName) {
                // A setting, not a key: it binds nothing and holds no key.
                if (!isPointingValue(line.value)) {
                    finding(line, value,
                            line.value.empty()
                                ? std::string(pointingName) + " has an empty value"
                                : std::string(pointingName) + " = " + inQuotes(line.value) +
                                      " is neither on nor off",
                            ": pointing with the mouse stays off");
                }
                break;
            }
            const Action* binding = actionNamed(line.key);
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
                }
                finding(line, key, message, ": the line does nothing");
                break;
            }
            const std::int32_t code = codes[static_cast<std::size_t>(binding->slot)];
            const bool number = binding->form == BindingForm::Number;
            if (line.value.empty()) {
                finding(line, value, std::string(binding->name) + " has an empty value",
                        ": the action has no key");
                break;
            }
            if (const auto named = keyNamed(*binding, line.value, code, [&] {
                    const auto need = unbinding.find(line.line);
                    return need == unbinding.end()
                               ? std::string()
                               : ", so the game has no key to " + std::string(need->second->needed);
                }())) {
                report.error(file, value, *named);
                break;
            }
            if (code == 0) {
                finding(line, value,
                        std::string(binding->name) + " = " + inQuotes(line.value) +
                            " binds no key: it takes " +
                            (number ? "a virtual-key code from 1 to 255 (13 Enter, 9 Tab)"
                                    : "a character (a letter, a digit, or & ( % ' for "
                                      "the arrow keys)"));
                break;
            }
            if (!number && line.value.size() > 1) {
                finding(line, value,
                        std::string(binding->name) + " = " + inQuotes(line.value) + " binds " +
                            keyName(code) + ": only the first character of a value counts");
            }
            const auto [holder, added] =
                holders.try_emplace(code, Holder{binding, std::string(binding->name) + " (line " +
                                                              std::to_string(line.line) + ")"});
            if (!added) {
                report.error(file, value,
                             std::string(binding->name) + " binds " + keyName(code) + ", as does " +
                                 holder->second.named + ": " +
                                 twiceBound(keyName(code), *holder->second.action, *binding));
            }
            break;
        }
        }
    }
}

} // namespace worldtool
