#include "config/ConfigFile.h"

#include "platform/FileReader.h"

#include <limits>
#include <utility>

namespace {

std::string_view trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

bool isStreamSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view skipWhitespace(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isStreamSpace(text[i])) {
        ++i;
    }
    return text.substr(i);
}

} // namespace

std::string ignoredConfigReason(platform::FileStatus status) {
    switch (status) {
    case platform::FileStatus::TooLarge:
        return "is larger than " + std::to_string(platform::maxFileBytes / (1024 * 1024)) +
               " MiB (" + std::to_string(platform::maxFileBytes) +
               " bytes), the most the game reads";
    case platform::FileStatus::NotAFile:
        return "is not a regular file";
    case platform::FileStatus::Unreadable:
        return "cannot be read";
    case platform::FileStatus::Ok:
    case platform::FileStatus::Missing:
        break;
    }
    return {};
}

void ConfigFile::load(const std::filesystem::path& file) {
    // Anything but a readable regular file of a sane size (a folder, a FIFO, a device, a huge
    // file) is as if there were none.
    std::string text;
    if (platform::readWholeFile(file, text) == platform::FileStatus::Ok) {
        parse(text);
    }
}

void ConfigFile::parse(std::string_view text, std::vector<ConfigLine>* lines) {
    std::uint32_t number = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        ConfigLine report;
        report.line = ++number;
        report.text = line;
        const auto equals = line.find('=');
        if (line.empty()) {
            report.kind = ConfigLine::Kind::Blank;
        } else if (line.front() == '#') {
            report.kind = ConfigLine::Kind::Comment;
        } else if (line.front() == '[') {
            report.kind = ConfigLine::Kind::Section;
        } else if (equals == std::string_view::npos) {
            report.kind = ConfigLine::Kind::NoEquals;
        } else {
            const std::string_view key = trimBlanks(line.substr(0, equals));
            const std::string_view value = trimBlanks(line.substr(equals + 1));
            if (key.empty()) {
                report.kind = ConfigLine::Kind::EmptyKey;
            } else {
                const bool added = entries.try_emplace(std::string(key), std::string(value)).second;
                report.kind = added ? ConfigLine::Kind::Entry : ConfigLine::Kind::Repeated;
                report.key = key;
                report.value = value;
                report.keyColumn = static_cast<std::uint32_t>(key.data() - line.data() + 1);
                report.valueColumn =
                    value.empty() ? static_cast<std::uint32_t>(equals + 2)
                                  : static_cast<std::uint32_t>(value.data() - line.data() + 1);
            }
        }
        if (lines != nullptr) {
            lines->push_back(report);
        }
    }
}

char ConfigFile::get(const std::string& key, char fallback) const {
    const auto it = entries.find(key);
    if (it == entries.end()) {
        return fallback;
    }
    const std::string_view value = skipWhitespace(it->second);
    return value.empty() ? fallback : value.front();
}

std::int32_t ConfigFile::get(const std::string& key, std::int32_t fallback) const {
    const auto it = entries.find(key);
    if (it == entries.end()) {
        return fallback;
    }
    std::string_view value = skipWhitespace(it->second);
    bool negative = false;
    if (!value.empty() && (value.front() == '+' || value.front() == '-')) {
        negative = value.front() == '-';
        value.remove_prefix(1);
    }
    std::int64_t number = 0;
    std::size_t digits = 0;
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    while (digits < value.size() && value[digits] >= '0' && value[digits] <= '9') {
        number = number * 10 + (value[digits] - '0');
        if (number > limit) {
            return fallback;
        }
        ++digits;
    }
    if (digits == 0) {
        return fallback;
    }
    const std::int64_t signedNumber = negative ? -number : number;
    if (signedNumber > std::numeric_limits<std::int32_t>::max()) {
        return fallback;
    }
    return static_cast<std::int32_t>(signedNumber);
}
