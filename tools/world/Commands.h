// The commands of tharvok-world other than check, each over a data folder. Each returns the
// program's exit status: 0 done, 1 a failure the message explains, 2 a usage error.
#pragma once

#include "DataFolder.h"

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace worldtool {

// The world `stem` drawn as the game draws it, its link cells numbered, in ANSI colours when
// `colour` is set, as plain text otherwise; then its name and a legend on `err`, so that the map
// alone fills an 80 x 25 terminal.
// `folder` is the data folder as the heading names it.
int showWorld(DataFolder& data, const std::string& stem, const std::string& folder, bool colour,
              std::ostream& out, std::ostream& err);

// The stem of the world that `arg` names (a stem, the start of one, a world's name, or a path to
// one of its files); empty, with a message from `command` that may say what was meant, when it
// names none or more than one.
std::string worldNamed(DataFolder& data, const std::string& arg, std::string_view command,
                       std::ostream& err);

// What link was given: FROM X Y TO X Y CAPTION, and X Y AX AY CAPTION after --back.
struct LinkArguments {
    std::vector<std::string> words;
    std::vector<std::string> back;
    bool makePath = false;
};

// A link from one world to another (and with --back one back), written into the worlds' link
// lists, or refused with every reason when anything would keep the game from using it.
int linkWorlds(DataFolder& data, const LinkArguments& arguments, std::ostream& out,
               std::ostream& err);

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
