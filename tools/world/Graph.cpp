#include "Check.h"
#include "Commands.h"
#include "Report.h"

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <set>

namespace worldtool {

namespace {

// Text inside a DOT string: as the game shows it, with quotes and backslashes escaped.
std::string dotText(std::string_view bytes) {
    std::string text;
    for (const char c : glyphs(bytes)) {
        if (c == '"' || c == '\\') {
            text += '\\';
        }
        text += c;
    }
    return text;
}

std::string dotString(std::string_view bytes) { return '"' + dotText(bytes) + '"'; }

// A world's label: its name, or its stem when it cannot be loaded.
std::string label(const AuthoredWorld& world) {
    if (!world.loaded) {
        return '"' + dotText(world.stem) + "\\n(cannot be loaded)\"";
    }
    return dotString(world.name());
}

// The worlds to draw: those of bin/world/, then the link targets that are not there.
std::vector<const AuthoredWorld*> worldsOf(DataFolder& data) {
    std::vector<std::string> others;
    std::vector<std::string> stems = data.listWorlds(others);
    std::set<std::string> known(stems.begin(), stems.end());
    for (std::size_t i = 0; i < stems.size(); ++i) {
        const AuthoredWorld& world = data.world(stems[i]);
        for (const MapLink& link : world.load.info.links) {
            if (!link.target.empty() && known.insert(link.target).second) {
                stems.push_back(link.target);
            }
        }
    }
    std::vector<const AuthoredWorld*> worlds;
    for (const std::string& stem : stems) {
        std::string path;
        if (worldFilePath(stem, gridExtension, path)) {
            worlds.push_back(&data.world(stem));
        }
    }
    return worlds;
}

void writeDot(DataFolder& data, const std::vector<const AuthoredWorld*>& worlds,
              std::ostream& out) {
    out << "// The worlds of " << escaped(data.path().string())
        << " and their links (tharvok-world graph)\n"
        << "digraph worlds {\n"
        << "    node [shape=box];\n";
    for (const AuthoredWorld* world : worlds) {
        out << "    " << dotString(world->stem) << " [label=" << label(*world);
        if (world->stem == startWorldStem) {
            out << ", peripheries=2";
        }
        if (!world->loaded) {
            out << ", style=dashed";
        }
        out << "];\n";
    }
    for (const AuthoredWorld* world : worlds) {
        const auto& links = world->load.info.links;
        for (std::size_t n = 0; n < links.size(); ++n) {
            if (links[n].target.empty()) {
                continue; // a record the file does not supply
            }
            out << "    " << dotString(world->stem) << " -> " << dotString(links[n].target)
                << " [label=" << dotString(links[n].caption);
            if (!linkUsable(*world, n)) {
                out << ", style=dashed";
            }
            out << "];\n";
        }
    }
    out << "}\n";
}

// Pads text to a width, counting the characters of its UTF-8.
std::string padded(const std::string& text, std::size_t width) {
    const auto shown = static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
    return shown >= width ? text : text + std::string(width - shown, ' ');
}

void writeTable(DataFolder& data, std::vector<const AuthoredWorld*> worlds, std::ostream& out) {
    worlds.erase(std::remove_if(worlds.begin(), worlds.end(),
                                [](const AuthoredWorld* w) { return !w->loaded; }),
                 worlds.end());
    std::stable_sort(worlds.begin(), worlds.end(),
                     [](const AuthoredWorld* a, const AuthoredWorld* b) {
                         return std::make_pair(a->stem != startWorldStem, a->name()) <
                                std::make_pair(b->stem != startWorldStem, b->name());
                     });
    for (const AuthoredWorld* world : worlds) {
        out << glyphs(world->stem) << "  " << glyphs(world->name())
            << (world->stem == startWorldStem ? "  (start)" : "") << '\n';
        for (const MapLink& link : world->load.info.links) {
            std::string path;
            const bool named = worldFilePath(link.target, gridExtension, path);
            const AuthoredWorld* target = named ? &data.world(link.target) : nullptr;
            const std::string where = target != nullptr && target->loaded ? target->name() : "?";
            char cells[48];
            std::snprintf(cells, sizeof cells, " link (%2d,%2d)  arrive (%2d,%2d)", link.x, link.y,
                          link.targetX, link.targetY);
            out << "    " << padded(glyphs(link.caption), 10) << " -> " << padded(glyphs(where), 22)
                << cells << '\n';
        }
    }
}

} // namespace

int graphWorlds(DataFolder& data, bool table, std::ostream& out, std::ostream&) {
    const std::vector<const AuthoredWorld*> worlds = worldsOf(data);
    if (table) {
        writeTable(data, worlds, out);
    } else {
        writeDot(data, worlds, out);
    }
    return 0;
}

} // namespace worldtool
