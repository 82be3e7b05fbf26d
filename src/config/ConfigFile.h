// The game's settings: a config.ini read into a table of key and value texts.
// Lines are "key = value"; "#" starts a comment line and "[" a section header line (sections carry
// no meaning); the first line that names a key wins.
#pragma once

#include "platform/FileReader.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* configFileName = "config.ini";

// What the reader made of one line of a configuration file, and where its parts stand. Tools
// fill a list of these to tell a player what the game makes of the file; the game asks for none.
struct ConfigLine {
    enum class Kind : std::uint8_t {
        Blank,    // empty: ignored
        Comment,  // starts with "#": ignored
        Section,  // starts with "[": ignored
        Entry,    // a key and its value, added to the table
        Repeated, // a key the table already holds: skipped, the first line wins
        NoEquals, // no "=": skipped
        EmptyKey, // nothing but blanks before the "=": skipped
    };
    Kind kind = Kind::Blank;
    std::uint32_t line = 0;        // from 1
    std::string_view text;         // the line without its line break (a view into the parsed text)
    std::uint32_t keyColumn = 0;   // where the key starts (Entry, Repeated), from 1
    std::uint32_t valueColumn = 0; // where the value starts, or would (Entry, Repeated)
    std::string_view key;          // trimmed of blanks, as the table keys it
    std::string_view value;        // trimmed of blanks
};

// Why the game binds no key from a configuration file that reading gave `status` for, as words
// that follow the file's name ("is larger than 1 MiB (1048576 bytes), the most the game reads");
// empty when the file was read, or when there is none.
std::string ignoredConfigReason(platform::FileStatus status);

class ConfigFile {
public:
    // Fills the table from a file; a file that is missing, cannot be read, is no regular file or
    // is larger than 1 MiB gives nothing.
    void load(const std::filesystem::path& file);
    // Fills the table from the text of a configuration file (LF or CR LF line ends). With
    // `lines`, also says what became of each line (views into `text`).
    void parse(std::string_view text, std::vector<ConfigLine>* lines = nullptr);

    // The first non-whitespace byte of the value, or `fallback` when the key is missing or the
    // value holds nothing but whitespace.
    char get(const std::string& key, char fallback) const;
    // The decimal number (optional sign) at the start of the value, or `fallback` when the key is
    // missing or no number in the signed 32-bit range starts there.
    std::int32_t get(const std::string& key, std::int32_t fallback) const;

    std::map<std::string, std::string> entries;
};
