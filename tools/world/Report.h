// What `tharvok-world check` finds, one problem a line as a compiler writes it:
// "bin/world/STEM.wif:3:14: error: Quiet glade: ...", with lines and columns from 1 and the name
// of the world whose file it is after the severity.
#pragma once

#include "core/FilePosition.h"

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace worldtool {

enum class Severity { Error, Warning };

struct Diagnostic {
    std::string file;      // relative to the data folder, as the game names it
    FilePosition position; // line 0: the file as a whole
    Severity severity = Severity::Error;
    std::string message;
};

class Report {
public:
    void error(std::string_view file, FilePosition position, std::string message);
    void warning(std::string_view file, FilePosition position, std::string message);
    // Every warning counts as an error from now on (check --strict).
    void warningsAreErrors() { warningsAreErrors_ = true; }
    // The messages about `file` name the world `name` after their severity.
    void nameFile(std::string_view file, std::string name);

    std::size_t errors() const;
    std::size_t warnings() const;
    const std::vector<Diagnostic>& diagnostics() const { return diagnostics_; }

    // The errors, then the warnings, each in the order of files, lines and columns.
    void print(std::ostream& out) const;

private:
    std::vector<Diagnostic> diagnostics_;
    std::map<std::string, std::string, std::less<>> names_;
    bool warningsAreErrors_ = false;
};

// Bytes from a file as they may be shown on a terminal: printable ASCII as it is, every other
// byte as \xNN.
std::string escaped(std::string_view bytes);
// The bytes escaped and in single quotes: 'Forest'.
std::string inQuotes(std::string_view bytes);
// Bytes from a file as the game shows them: each byte its code page 437 glyph, as UTF-8.
std::string glyphs(std::string_view bytes);
// "1 world", "2 worlds", "no worlds".
std::string counted(std::size_t count, std::string_view one, std::string_view many);
// "(30, 4)"
std::string cellText(int x, int y);
// Edits (insert, delete, change a byte) from one text to another; with `ignoreCase`, letters
// that differ only in case count as the same.
std::size_t editDistance(std::string_view a, std::string_view b, bool ignoreCase);

} // namespace worldtool
