// tharvok-replay: the real game, headless on the virtual console, with the keyboard and the
// clocks driven by a script (the grammar of replay/Script.h), printing the screens it asks for.
#pragma once

#include "Options.h"
#include "ReplayConsole.h"

#include "config/ConfigFile.h"

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace replay {

// Parses the command line (without the program name); false with a message on a usage error.
bool parseArguments(const std::vector<std::string>& args, Options& options, std::string& error);

// What --help prints.
std::string helpText();
// The one-line usage that follows a usage error.
std::string usageText();

// The whole tool: arguments, script, run. A script file is checked whole before anything runs,
// then run line by line; standard input (or a pipe) runs as it is read. What the commands print
// goes to `out` (or the file named by --out), messages to `err`. Returns one of the statuses
// above.
// Plays the script the options name, its keys bound from `config` when there is one: what
// replayMain does once it has read the command line.
int playScript(const Options& options, std::optional<ConfigFile> config, std::istream& in,
               std::ostream& out, std::ostream& err);

// `programFolder` is where the program lies (empty: unknown), for the data installed beside it.
int replayMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               std::ostream& err, const std::filesystem::path& programFolder = {});

} // namespace replay
