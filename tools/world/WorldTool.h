// tharvok-world: tools for world authors over a data folder, with the game's own loaders.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace worldtool {

inline constexpr int exitClean = 0;
inline constexpr int exitProblems = 1;
inline constexpr int exitUsage = 2;

// The whole program: `args` without the program's name. `colour` says whether standard output
// shows ANSI colours (show draws in colour then, unless told --plain).
int worldMain(const std::vector<std::string>& args, bool colour, std::ostream& out,
              std::ostream& err);

} // namespace worldtool
