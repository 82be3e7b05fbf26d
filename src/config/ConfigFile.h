// The game's settings: a config.ini read once, on first use, into a table of key and value texts.
// Lines are "key = value"; "#" starts a comment line and "[" a section header line (sections carry
// no meaning); the first line that names a key wins.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>

inline constexpr const char* configFileName = "config.ini";

class ConfigFile {
public:
    // The configuration bound at start; the first call reads its file. A missing or unreadable
    // file leaves the table empty and every lookup returns its fallback. Asking for it when none
    // is bound is a programming error and ends the program.
    static ConfigFile& instance();

    // Fills the table from a file; a file that is missing, cannot be read, is no regular file or
    // is larger than 1 MiB gives nothing.
    void load(const std::filesystem::path& file);
    // Fills the table from the text of a configuration file (LF or CR LF line ends).
    void parse(std::string_view text);

    // The first non-whitespace byte of the value, or `fallback` when the key is missing or the
    // value holds nothing but whitespace.
    char get(const std::string& key, char fallback) const;
    // The decimal number (optional sign) at the start of the value, or `fallback` when the key is
    // missing or no number in the signed 32-bit range starts there.
    std::int32_t get(const std::string& key, std::int32_t fallback) const;

    std::map<std::string, std::string> entries;
};

// Makes a file the process's configuration for as long as it lives (it is read at the first
// ConfigFile::instance()). A binding made while another is alive stands in for it until it goes.
class ConfigBinding {
public:
    explicit ConfigBinding(std::filesystem::path file);
    ~ConfigBinding();
    ConfigBinding(const ConfigBinding&) = delete;
    ConfigBinding& operator=(const ConfigBinding&) = delete;

private:
    friend class ConfigFile;
    std::filesystem::path file_;
    std::unique_ptr<ConfigFile> config_;
    ConfigBinding* previous_;
};
