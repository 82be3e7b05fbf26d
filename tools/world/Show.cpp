#include "Check.h"
#include "Commands.h"
#include "Report.h"

#include "core/Console.h"
#include "platform/Cp437.h"
#include "platform/ScreenText.h"
#include "platform/virtual/VirtualConsole.h"
#include "render/MapView.h"
#include "world/WorldMap.h"

#include <algorithm>
#include <ostream>

namespace worldtool {

namespace {

// Link numbers stand out: black on bright red.
constexpr std::uint16_t numberAttribute = 0xC0;

// The mark of link `index` on the map: 1 to 9, then letters, then "*".
char linkMark(std::size_t index) {
    constexpr std::string_view marks =
        "123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    return index < marks.size() ? marks[index] : '*';
}

// The ANSI colour of a console colour (console: blue 1, green 2, red 4; ANSI: red 1, green 2,
// blue 4), bright ones in the 90s.
int ansiColour(int console, bool background) {
    const int rgb = ((console & 1) << 2) | (console & 2) | ((console & 4) >> 2);
    const int base = (console & 8) != 0 ? 90 : 30;
    return base + (background ? 10 : 0) + rgb;
}

void writeMap(const std::array<platform::Cell, platform::screenCellCount>& cells, bool colour,
              std::ostream& out) {
    if (!colour) {
        out << platform::screenText(cells);
        return;
    }
    for (int y = 0; y < platform::screenHeight; ++y) {
        int attribute = -1;
        for (int x = 0; x < platform::screenWidth; ++x) {
            const platform::Cell& cell =
                cells[static_cast<std::size_t>(y * platform::screenWidth + x)];
            if (cell.attribute != attribute) {
                attribute = cell.attribute;
                out << "\x1b[0;" << ansiColour(attribute & 15, false) << ';'
                    << ansiColour((attribute >> 4) & 15, true) << 'm';
            }
            out << platform::cp437Utf8(cell.ch).view();
        }
        out << "\x1b[0m\n";
    }
}

// Why the game never shows or follows a link (one that is not usable).
std::string unusedBecause(const WorldMap& map, const MapLink& link, std::size_t index) {
    if (link.x >= platform::screenWidth || link.y >= platform::screenHeight) {
        return "its cell is off the map";
    }
    std::uint8_t first = 0;
    map.findLink(MapCell{link.x, link.y}, &first);
    if (first != index) {
        return std::string("link ") + linkMark(first) + " holds its cell";
    }
    if (map.at(MapCell{link.x, link.y}) != linkCellChar) {
        return "its cell is not '-'";
    }
    return "its record is cut short";
}

} // namespace

int showWorld(DataFolder& data, const std::string& stem, const std::string& folder, bool colour,
              std::ostream& out, std::ostream& err) {
    const AuthoredWorld& world = data.world(stem);
    if (!world.loaded) {
        err << "tharvok-world: " << escaped(world.failedPath) << " missing or corrupt!\n";
        return 1;
    }
    WorldMap map;
    map.take(WorldLoad(world.load));
    platform::VirtualConsole screen;
    {
        Console console(screen);
        drawMap(console, map);
    }
    auto cells = screen.model().cells();
    const auto& links = world.load.info.links;
    for (std::size_t n = 0; n < links.size(); ++n) {
        const MapLink& link = links[n];
        std::uint8_t first = 0;
        if (link.x < platform::screenWidth && link.y < platform::screenHeight &&
            map.findLink(MapCell{link.x, link.y}, &first) != nullptr && first == n) {
            platform::Cell& cell = cells[cellIndex(MapCell{link.x, link.y})];
            cell.ch = static_cast<std::uint8_t>(linkMark(n));
            cell.attribute = colour ? numberAttribute : cell.attribute;
        }
    }

    writeMap(cells, colour, out);
    out.flush();
    err << glyphs(world.name()) << "  (" << escaped(world.gridPath()) << " in " << folder << ")\n";
    for (std::size_t n = 0; n < links.size(); ++n) {
        const MapLink& link = links[n];
        std::string cell = cellText(link.x, link.y);
        cell.resize(std::max<std::size_t>(cell.size(), 9), ' ');
        err << ' ' << linkMark(n) << "  " << cell << ' ' << glyphs(link.caption) << " -> ";
        std::string path;
        const AuthoredWorld* target =
            worldFilePath(link.target, gridExtension, path) ? &data.world(link.target) : nullptr;
        if (target != nullptr && target->loaded) {
            err << glyphs(target->name());
        } else {
            err << glyphs(link.target) << " (cannot be loaded)";
        }
        const MapCell arrival = arrivalCell(link);
        err << ", arriving at " << cellText(arrival.x, arrival.y);
        if (!linkUsable(world, n)) {
            err << "  [never used: " << unusedBecause(map, link, n) << ']';
        }
        err << '\n';
    }
    return 0;
}

} // namespace worldtool
