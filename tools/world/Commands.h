// The commands of tharvok-world other than check, each over a data folder. Each returns the
// program's exit status: 0 done, 1 a failure the message explains, 2 a usage error.
#pragma once

#include "DataFolder.h"

#include <filesystem>
#include <iosfwd>
#include <string>

namespace worldtool {

// The world `stem` drawn as the game draws it, its link cells numbered, in ANSI colours when
// `colour` is set, as plain text otherwise; then its name and a legend on `err`, so that the map
// alone fills an 80 x 25 terminal.
// `folder` is the data folder as the heading names it.
int showWorld(DataFolder& data, const std::string& stem, const std::string& folder, bool colour,
              std::ostream& out, std::ostream& err);

// The worlds and their links as Graphviz DOT, or as a plain table.
int graphWorlds(DataFolder& data, bool table, std::ostream& out, std::ostream& err);

// A fresh world named by two words, under a free stem; prints the paths of its two files.
int newWorld(const DataFolder& data, const std::string& word1, const std::string& word2,
             std::ostream& out, std::ostream& err);

// A data folder of one's own: a copy of the game's config.ini and worlds from `shipped` into
// `target`, which must be missing or an empty folder. Every folder and file it makes is checked;
// when one fails, it says what failed and removes what it made (`target` itself when it made
// it), and returns 1.
int initFolder(const std::filesystem::path& shipped, const std::filesystem::path& target,
               std::ostream& out, std::ostream& err);

} // namespace worldtool
