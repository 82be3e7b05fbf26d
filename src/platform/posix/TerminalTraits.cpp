#include "posix/TerminalTraits.h"

#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <langinfo.h>
#include <vector>

namespace platform::posix {

namespace {

constexpr int legacyMagic = 0432;
constexpr int extendedMagic = 01036;
// Positions in terminfo's standard order.
constexpr std::size_t bceFlag = 28;
constexpr std::size_t smcupString = 28;

int shortAt(std::string_view bytes, std::size_t at) {
    const auto low = static_cast<unsigned char>(bytes[at]);
    const auto high = static_cast<unsigned char>(bytes[at + 1]);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8)));
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::optional<std::string> variable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
}

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > 1 << 20) {
            return std::nullopt;
        }
    }
    return bytes;
}

// The entry of `term` from the folders the terminfo library looks in, in its order.
std::optional<Terminfo> findTerminfo(const std::string& term) {
    if (term.empty() || term.find('/') != std::string::npos || term[0] == '.') {
        return std::nullopt;
    }
    std::vector<std::string> folders;
    if (const auto own = variable("TERMINFO")) {
        folders.push_back(*own);
    }
    if (const auto home = variable("HOME")) {
        folders.push_back(*home + "/.terminfo");
    }
    const std::vector<std::string> system = {"/etc/terminfo", "/lib/terminfo",
                                             "/usr/share/terminfo", "/usr/lib/terminfo"};
    if (const auto dirs = variable("TERMINFO_DIRS")) {
        std::size_t at = 0;
        while (at <= dirs->size()) {
            const std::size_t end = std::min(dirs->find(':', at), dirs->size());
            const std::string folder = dirs->substr(at, end - at);
            if (folder.empty()) {
                folders.insert(folders.end(), system.begin(), system.end());
            } else {
                folders.push_back(folder);
            }
            at = end + 1;
        }
    }
    folders.insert(folders.end(), system.begin(), system.end());
    static constexpr char hex[] = "0123456789abcdef";
    const auto first = static_cast<unsigned char>(term[0]);
    const std::string letter(1, term[0]);
    const std::string hexName = {hex[first >> 4], hex[first & 15]};
    for (const std::string& folder : folders) {
        for (const std::string& sub : {letter, hexName}) {
            if (const auto bytes = readFile(folder + "/" + sub + "/" + term)) {
                return parseTerminfo(*bytes);
            }
        }
    }
    return std::nullopt;
}

bool localeIsUtf8() {
    const char* current = std::setlocale(LC_CTYPE, nullptr);
    const std::string saved = current != nullptr ? current : "C";
    bool utf8 = false;
    if (std::setlocale(LC_CTYPE, "") != nullptr) {
        const std::string_view codeset = nl_langinfo(CODESET);
        utf8 = codeset == "UTF-8" || codeset == "utf8";
    }
    std::setlocale(LC_CTYPE, saved.c_str());
    return utf8;
}

} // namespace

std::optional<Terminfo> parseTerminfo(std::string_view file) {
    if (file.size() < 12) {
        return std::nullopt;
    }
    const int magic = shortAt(file, 0);
    if (magic != legacyMagic && magic != extendedMagic) {
        return std::nullopt;
    }
    const int namesSize = shortAt(file, 2);
    const int boolCount = shortAt(file, 4);
    const int numberCount = shortAt(file, 6);
    const int stringCount = shortAt(file, 8);
    if (namesSize < 0 || boolCount < 0 || numberCount < 0 || stringCount < 0) {
        return std::nullopt;
    }
    const std::size_t bools = 12 + static_cast<std::size_t>(namesSize);
    std::size_t numbers = bools + static_cast<std::size_t>(boolCount);
    numbers += numbers % 2;
    const std::size_t numberSize = magic == extendedMagic ? 4 : 2;
    const std::size_t strings = numbers + static_cast<std::size_t>(numberCount) * numberSize;
    if (strings + static_cast<std::size_t>(stringCount) * 2 > file.size()) {
        return std::nullopt;
    }
    Terminfo terminfo;
    terminfo.backColourErase =
        static_cast<std::size_t>(boolCount) > bceFlag && file[bools + bceFlag] == 1;
    // An absent string is -1, a cancelled one -2.
    terminfo.alternateScreen = static_cast<std::size_t>(stringCount) > smcupString &&
                               shortAt(file, strings + smcupString * 2) >= 0;
    return terminfo;
}

TerminalTraits traitsOf(const std::function<std::optional<std::string>(const char*)>& environment,
                        const std::optional<Terminfo>& terminfo, bool utf8Locale) {
    const std::string term = environment("TERM").value_or("");
    const bool tmux = environment("TMUX").has_value();
    const bool gnuScreen = !tmux && startsWith(term, "screen");
    TerminalTraits traits;
    traits.alternateScreen = !gnuScreen && (!terminfo || terminfo->alternateScreen);
    traits.backColourErase = terminfo ? terminfo->backColourErase : !gnuScreen;
    const bool multiplexed = tmux || environment("STY").has_value() || startsWith(term, "screen") ||
                             startsWith(term, "tmux");
    traits.growsHonestly = !multiplexed && !environment("KONSOLE_VERSION") &&
                           (environment("XTERM_VERSION") || environment("VTE_VERSION"));
    traits.utf8 = utf8Locale || environment("THARVOK_UTF8").value_or("") == "1";
    return traits;
}

TerminalTraits readTerminalTraits() {
    return traitsOf(variable, findTerminfo(variable("TERM").value_or("")), localeIsUtf8());
}

} // namespace platform::posix
