// The game's settings: config.ini in the current directory, read once on first use into a table
// of key and value texts. Lines are "key = value"; "#" starts a comment line and "[" a section
// header line (sections carry no meaning); the first line that names a key wins.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

inline constexpr const char* configFileName = "config.ini";

class ConfigFile {
public:
    // The one configuration; the first call reads config.ini. A missing or unreadable file
    // leaves the table empty and every lookup returns its fallback.
    static ConfigFile& instance();

    // Drops the table so that the next instance() reads config.ini again. For hosts that run
    // several games in one process (the test suite); the game itself never calls it.
    static void forget();

    // Fills the table from the text of a configuration file (LF or CR LF line ends).
    void parse(std::string_view text);

    // The first non-whitespace byte of the value, or `fallback` when the key is missing or the
    // value holds nothing but whitespace.
    char get(const std::string& key, char fallback) const;
    // The decimal number (optional sign) at the start of the value, or `fallback` when the key is
    // missing or no number in the signed 32-bit range starts there.
    std::int32_t get(const std::string& key, std::int32_t fallback) const;

    std::map<std::string, std::string> entries;

private:
    void load();
};
