// `tharvok-world check`: every world of a data folder and its config.ini, checked against what
// the game makes of them.
#pragma once

#include "DataFolder.h"
#include "Report.h"

#include "platform/FileReader.h"

#include <cstddef>
#include <string>

namespace worldtool {

struct CheckTotals {
    std::size_t worlds = 0;
    std::size_t links = 0;
};

// The worlds of bin/world/: their files, links and the journey between them. `strict` adds the
// shipped adventure's own rules (each arrival next to a way back, each link reachable on foot
// without crossing another link cell).
CheckTotals checkWorlds(DataFolder& data, bool strict, Report& report);

// A config.ini, named `file` in the messages, as reading it gave `status` and `text`: a file the
// game ignores, actions the game needs left without a key, names the game does not know, values
// that bind nothing, keys bound twice, lines the game skips.
void checkConfig(const std::string& file, platform::FileStatus status, const std::string& text,
                 Report& report);

// Whether a link is one the game can ever show and follow: its record was read whole, its cell
// is a "-" on the map, and no earlier link holds that cell.
bool linkUsable(const AuthoredWorld& world, std::size_t index);

} // namespace worldtool
