#include "Check.h"

#include "render/MessageBox.h"
#include "world/OnFoot.h"
#include "world/World.h"
#include "world/WorldMap.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <deque>
#include <map>
#include <set>

namespace worldtool {

namespace {

constexpr int width = platform::screenWidth;
constexpr int height = platform::screenHeight;

constexpr std::array<const char*, linkFieldCount> fieldNames = {"caption", "target",  "x",
                                                                "y",       "targetX", "targetY"};

const InfoField& fieldOf(const std::array<InfoField, linkFieldCount>& record, LinkField field) {
    return record[static_cast<std::size_t>(field)];
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The word of the file that starts at `offset`, as the game's reader delimits words.
std::string_view wordAt(std::string_view data, std::size_t offset) {
    std::size_t end = offset;
    while (end < data.size() && !isSpace(data[end])) {
        ++end;
    }
    return data.substr(offset, end - offset);
}

// The words of the file from `offset` on.
std::vector<std::string_view> wordsFrom(std::string_view data, std::size_t offset) {
    std::vector<std::string_view> words;
    while (offset < data.size()) {
        if (isSpace(data[offset])) {
            ++offset;
            continue;
        }
        words.push_back(wordAt(data, offset));
        offset += words.back().size();
    }
    return words;
}

// An optional sign and decimal digits, of any length.
bool looksLikeNumber(std::string_view word) {
    if (!word.empty() && (word.front() == '+' || word.front() == '-')) {
        word.remove_prefix(1);
    }
    return !word.empty() &&
           std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A line of a text file as an editor shows it: without its line break (LF or CR LF).
struct TextLine {
    std::size_t offset = 0;
    std::size_t length = 0;
};

std::vector<TextLine> textLines(std::string_view data) {
    std::vector<TextLine> lines;
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t end = data.find('\n', start);
        const bool broken = end != std::string_view::npos;
        if (!broken) {
            end = data.size();
        }
        std::size_t length = end - start;
        if (broken && length > 0 && data[end - 1] == '\r') {
            --length;
        }
        lines.push_back({start, length});
        start = end + 1;
    }
    return lines;
}

std::string lineRange(int first, int last) {
    return first == last ? "line " + std::to_string(first)
                         : "lines " + std::to_string(first) + " to " + std::to_string(last);
}

std::string cellText(MapCell cell) { return worldtool::cellText(cell.x, cell.y); }

WorldMap mapOf(const AuthoredWorld& world) {
    WorldMap map;
    map.take(WorldLoad(world.load));
    return map;
}

bool recordComplete(const AuthoredWorld& world, std::size_t index) {
    const auto& records = world.source.info.links;
    return index < records.size() &&
           std::all_of(records[index].begin(), records[index].end(),
                       [](const InfoField& field) { return field.state == FieldRead::Read; });
}

// Where the player enters a world: the start cell, or where a link arrives.
struct Entry {
    MapCell cell;
    std::string from;
};

class WorldChecker {
public:
    WorldChecker(DataFolder& data, bool strict, Report& report)
        : data_(data), strict_(strict), report_(report) {}

    CheckTotals run();

private:
    void checkFiles(const AuthoredWorld& world);
    void checkGrid(const AuthoredWorld& world);
    void checkInfo(const AuthoredWorld& world);
    bool checkNumber(const AuthoredWorld& world, const InfoField& field, const std::string& what,
                     int max, bool arrival, const std::string& hint = {});
    void checkTarget(const AuthoredWorld& world, std::size_t index);
    void checkJourney(const AuthoredWorld& world, std::size_t index);
    void checkWalks();
    void checkReachable();

    DataFolder& data_;
    bool strict_;
    Report& report_;
    std::vector<std::string> stems_;
    std::map<std::string, std::vector<Entry>> entries_;
};

CheckTotals WorldChecker::run() {
    std::vector<std::string> others;
    stems_ = data_.listWorlds(others);
    for (const std::string& name : others) {
        report_.warning(std::string(worldDirectory) + name, {},
                        "not a world file: the game reads only STEM.wgf and STEM.wif here");
    }
    const AuthoredWorld& start = data_.world(std::string(startWorldStem));
    if (!start.loaded) {
        report_.error(start.failedPath, {},
                      "the start world cannot be read, so the game cannot start");
    }
    CheckTotals totals;
    totals.worlds = stems_.size();
    for (const std::string& stem : stems_) {
        const AuthoredWorld& world = data_.world(stem);
        checkFiles(world);
        if (world.loaded) {
            totals.links += world.load.info.links.size();
        }
    }
    checkWalks();
    checkReachable();
    return totals;
}

void WorldChecker::checkFiles(const AuthoredWorld& world) {
    if (!world.loaded) {
        if (world.stem == startWorldStem) {
            return;
        }
        std::string path;
        const bool named = worldFilePath(world.stem, gridExtension, path);
        report_.error(world.failedPath, {},
                      named ? "missing or cannot be read, so the game cannot load this world"
                            : "the game refuses this name: a world's path is at most 127 "
                              "characters, without '\\'");
        return;
    }
    checkGrid(world);
    checkInfo(world);
    for (std::size_t i = 0; i < world.load.info.links.size(); ++i) {
        if (recordComplete(world, i)) {
            checkTarget(world, i);
        }
    }
}

void WorldChecker::checkGrid(const AuthoredWorld& world) {
    const std::string path = world.gridPath();
    const std::string_view data = world.source.gridData;
    const GridSource& source = world.source.grid;
    if (data.empty()) {
        report_.error(path, {},
                      "the grid file is empty: the game keeps the cells shown before (blanks at "
                      "the start)");
        return;
    }
    // A row whose cells the game did not take from their own line and column.
    auto shifted = [&](int row) {
        for (int x = 0; x < width; ++x) {
            const FilePosition at = source.cells[static_cast<std::size_t>(row * width + x)];
            if (at.line != 0 && (at.line != static_cast<std::uint32_t>(row + 1) ||
                                 at.column != static_cast<std::uint32_t>(x + 1))) {
                return true;
            }
        }
        return false;
    };
    const std::vector<TextLine> lines = textLines(data);
    std::size_t used = lines.size();
    while (used > static_cast<std::size_t>(height) && lines[used - 1].length == 0) {
        --used; // empty lines at the end are harmless
    }
    const int read = static_cast<int>(std::min<std::size_t>(used, height));
    for (int i = 0; i < read; ++i) {
        const TextLine& line = lines[static_cast<std::size_t>(i)];
        const std::uint32_t number = static_cast<std::uint32_t>(i + 1);
        if (line.length != static_cast<std::size_t>(width)) {
            std::string message = "line " + std::to_string(number) + " has " +
                                  counted(line.length, "character", "characters") + ", not 80";
            int last = i + 1;
            while (last < height && shifted(last)) {
                ++last;
            }
            if (last > i + 1) {
                message += ": in the game " + lineRange(i + 2, last) +
                           (last == i + 2 ? " is shifted" : " are shifted");
            }
            const auto column = std::min<std::size_t>(line.length, width) + 1;
            report_.error(path, {number, static_cast<std::uint32_t>(column)}, message);
        }
        std::size_t odd = 0;
        std::size_t first = 0;
        for (std::size_t c = 0; c < line.length; ++c) {
            const auto byte = static_cast<unsigned char>(data[line.offset + c]);
            if (byte < 32 || byte >= 127) {
                first = odd++ == 0 ? c : first;
            }
        }
        if (odd > 0) {
            const std::string byte = inQuotes(data.substr(line.offset + first, 1));
            report_.warning(path, {number, static_cast<std::uint32_t>(first + 1)},
                            odd == 1 ? "byte " + byte +
                                           " is not printable ASCII: the game shows it as its "
                                           "code page 437 glyph"
                                     : "byte " + byte + " and " + std::to_string(odd - 1) +
                                           " more on this line are not printable ASCII: the "
                                           "game shows them as code page 437 glyphs");
        }
    }
    if (used < static_cast<std::size_t>(height)) {
        const TextLine& last = lines.back();
        report_.error(
            path,
            {static_cast<std::uint32_t>(lines.size()), static_cast<std::uint32_t>(last.length + 1)},
            "the grid has " + counted(used, "line", "lines") + ", not 25: the game keeps what " +
                lineRange(static_cast<int>(used) + 1, height) +
                " showed before (blanks at the start)");
    } else if (used > static_cast<std::size_t>(height)) {
        report_.error(path, {height + 1, 1},
                      "the grid has " + std::to_string(used) +
                          " lines, not 25: the game ignores line 26 and after");
    }

    const WorldMap map = mapOf(world);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const MapCell cell{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y)};
            if (map.at(cell) == linkCellChar && map.findLink(cell, nullptr) == nullptr) {
                report_.warning(path, source.cells[cellIndex(cell)],
                                "'-' at " + cellText(cell) +
                                    " has no link: stepping on it shows nothing");
            }
        }
    }
    const MapCell start{playerStartX, playerStartY};
    if (world.stem == startWorldStem && map.isBlocking(start)) {
        report_.warning(path, source.cells[cellIndex(start)],
                        "the start cell " + cellText(start) + " holds " +
                            inQuotes(std::string(1, static_cast<char>(map.at(start)))) +
                            ", which blocks: the player starts on it all the same");
    }
}

void WorldChecker::checkInfo(const AuthoredWorld& world) {
    const std::string path = world.infoPath();
    const std::string_view data = world.source.infoData;
    const InfoSource& source = world.source.info;
    if (source.headerWord1.state == FieldRead::Missing) {
        report_.error(path, {},
                      "the file is empty: it needs two header words (the world's name) and a "
                      "link count");
        return;
    }
    if (source.headerWord2.state == FieldRead::Missing ||
        source.linkCount.state == FieldRead::Missing) {
        const InfoField& end =
            source.headerWord2.state == FieldRead::Missing ? source.headerWord2 : source.linkCount;
        report_.error(path, end.position,
                      "the file ends before the link count: it needs two header words (the "
                      "world's name) and a link count");
        return;
    }
    const InfoField& count = source.linkCount;
    if (count.state == FieldRead::Failed) {
        const std::string_view word = wordAt(data, count.offset);
        const std::vector<std::string_view> after = wordsFrom(data, count.offset + word.size());
        std::string message;
        if (!after.empty() && looksLikeNumber(after.front())) {
            message = "the header has three words where two belong: the game takes " +
                      inQuotes(word) +
                      " as the link count, which is not a number, so it reads no "
                      "links";
        } else if (looksLikeNumber(wordAt(data, source.headerWord2.offset))) {
            message = "the header has one word where two belong: the game takes " +
                      inQuotes(wordAt(data, source.headerWord2.offset)) +
                      " as the second word and " + inQuotes(word) +
                      " as the link count, which is not a number, so it reads no links";
        } else {
            message =
                "the link count " + inQuotes(word) + " is not a number: the game reads no links";
        }
        report_.error(path, count.position, message);
        return;
    }
    checkNumber(world, count, "the link count", 255, false);

    bool failed = false;
    std::size_t complete = 0;
    for (std::size_t n = 0; n < source.links.size() && !failed; ++n) {
        const auto& record = source.links[n];
        const std::string link = "link " + std::to_string(n + 1);
        for (std::size_t f = static_cast<std::size_t>(LinkField::X); f < linkFieldCount; ++f) {
            const bool arrival = f >= static_cast<std::size_t>(LinkField::TargetX);
            const bool column = f == static_cast<std::size_t>(LinkField::X) ||
                                f == static_cast<std::size_t>(LinkField::TargetX);
            std::string hint;
            const std::string_view word = wordAt(data, record[f].offset);
            if (f == static_cast<std::size_t>(LinkField::X) &&
                std::binary_search(stems_.begin(), stems_.end(), std::string(word))) {
                hint = " (a caption of two words? a caption is one word)";
            }
            if (!checkNumber(world, record[f], link + "'s " + fieldNames[f], column ? 79 : 24,
                             arrival, hint)) {
                failed = true;
                break;
            }
        }
        if (!failed && recordComplete(world, n)) {
            ++complete;
            const std::string& caption = world.load.info.links[n].caption;
            if (caption.size() > maxCaptionLength) {
                report_.warning(path, fieldOf(record, LinkField::Caption).position,
                                link + "'s caption is " + std::to_string(caption.size()) +
                                    " characters long: the game shows only the first 74");
            }
        }
    }
    const std::size_t announced = world.load.info.links.size();
    if (!failed && complete < announced) {
        const bool partial =
            source.links.size() > complete &&
            fieldOf(source.links[complete], LinkField::Caption).state == FieldRead::Read;
        report_.error(path, count.position,
                      "the link count is " + std::to_string(announced) + ", but the file ends " +
                          (partial ? "inside link " + std::to_string(complete + 1)
                                   : "after " + counted(complete, "link", "links")) +
                          ": the game makes the rest empty links at (0, 0)");
    }
    if (!failed && source.rest.state == FieldRead::Read) {
        const std::vector<std::string_view> words = wordsFrom(data, source.rest.offset);
        const std::size_t extra = words.size() / linkFieldCount;
        report_.error(path, source.rest.position,
                      words.size() % linkFieldCount == 0
                          ? "the file holds " + counted(extra, "more link", "more links") +
                                " than its link count (" + std::to_string(announced) +
                                ") says: the game ignores " + (extra == 1 ? "it" : "them")
                          : "the file goes on after its " + counted(announced, "link", "links") +
                                ": the game ignores " + inQuotes(words.front()) + " and the rest");
    }
    // Links on the map.
    const WorldMap map = mapOf(world);
    for (std::size_t n = 0; n < announced; ++n) {
        if (!recordComplete(world, n)) {
            continue;
        }
        const MapLink& link = world.load.info.links[n];
        const InfoField& x = fieldOf(source.links[n], LinkField::X);
        const std::string name =
            "link " + std::to_string(n + 1) + " (" + inQuotes(link.caption) + ")";
        if (link.x >= width || link.y >= height) {
            continue; // reported with its numbers
        }
        const MapCell cell{link.x, link.y};
        std::uint8_t first = 0;
        map.findLink(cell, &first);
        if (first != n) {
            report_.warning(path, x.position,
                            name + " is on the same cell " + cellText(cell) + " as link " +
                                std::to_string(first + 1) + ": the game only ever uses link " +
                                std::to_string(first + 1));
        } else if (map.at(cell) != linkCellChar) {
            report_.warning(path, x.position,
                            name + " sits on " + cellText(cell) + ", which holds " +
                                inQuotes(std::string(1, static_cast<char>(map.at(cell)))) +
                                " rather than '-': the game never shows or follows it");
        }
    }
}

bool WorldChecker::checkNumber(const AuthoredWorld& world, const InfoField& field,
                               const std::string& what, int max, bool arrival,
                               const std::string& hint) {
    const std::string path = world.infoPath();
    const std::string_view data = world.source.infoData;
    if (field.state == FieldRead::Missing) {
        return true; // the count check says where the file ends
    }
    const std::string_view word = wordAt(data, field.offset);
    if (field.state == FieldRead::Failed) {
        report_.error(path, field.position,
                      what + " " + inQuotes(word) +
                          (looksLikeNumber(word) ? " is too large a number" : " is not a number") +
                          hint + ": the game reads it and every later field as 0 or empty");
        return false;
    }
    if (field.length < word.size()) {
        report_.error(path, field.position,
                      what + " " + inQuotes(word) + " is not a number: the game reads " +
                          std::to_string(field.number) + " and takes " +
                          inQuotes(word.substr(field.length)) + " as the next field");
        return true;
    }
    if (field.number >= 0 && field.number <= max) {
        return true;
    }
    const int kept = static_cast<int>(static_cast<std::uint8_t>(field.number));
    std::string effect;
    if (kept <= max) {
        effect = "the game reads " + std::to_string(kept);
    } else if (arrival) {
        effect = std::string("the game places the player in ") + (max == 79 ? "column " : "row ") +
                 std::to_string(max);
    } else {
        effect = "the link lies off the map, where the player never stands";
    }
    report_.error(path, field.position,
                  what + " " + std::to_string(field.number) + " is outside 0 to " +
                      std::to_string(max) + ": " + effect);
    return true;
}

void WorldChecker::checkTarget(const AuthoredWorld& world, std::size_t index) {
    const MapLink& link = world.load.info.links[index];
    const InfoField& field = fieldOf(world.source.info.links[index], LinkField::Target);
    const std::string name = "link " + std::to_string(index + 1);
    std::string path;
    if (!worldFilePath(link.target, gridExtension, path)) {
        const bool separator =
            link.target.find_first_of(std::string_view{"/\\\0", 3}) != std::string::npos;
        report_.error(world.infoPath(), field.position,
                      name + " leads to " + inQuotes(link.target) + ", which the game refuses: " +
                          (separator ? "a stem holds no '/', '\\' or NUL byte"
                                     : "the path of its files would be longer than 127 "
                                       "characters"));
        return;
    }
    const AuthoredWorld& target = data_.world(link.target);
    if (!target.loaded) {
        report_.error(world.infoPath(), field.position,
                      name + " leads to " + inQuotes(link.target) + ", which cannot be loaded: " +
                          escaped(target.failedPath) + " is missing or cannot be read");
        return;
    }
    if (linkUsable(world, index)) {
        checkJourney(world, index);
    }
}

// The arrival and the way back of a link the player can use.
void WorldChecker::checkJourney(const AuthoredWorld& world, std::size_t index) {
    const MapLink& link = world.load.info.links[index];
    const auto& record = world.source.info.links[index];
    const AuthoredWorld& target = data_.world(link.target);
    const std::string name =
        "link " + std::to_string(index + 1) + " (" + inQuotes(link.caption) + ")";
    const MapCell arrival = arrivalCell(link);
    entries_[target.stem].push_back({arrival, "where link " + std::to_string(index + 1) + " of " +
                                                  inQuotes(world.name()) + " arrives, " +
                                                  cellText(arrival)});
    const WorldMap there = mapOf(target);
    const std::uint8_t ch = there.at(arrival);
    if (there.isBlocking(arrival) || ch == linkCellChar) {
        report_.warning(world.infoPath(), fieldOf(record, LinkField::TargetX).position,
                        name + " arrives at " + cellText(arrival) + " in " +
                            inQuotes(target.name()) + " on " +
                            inQuotes(std::string(1, static_cast<char>(ch))) + ", which " +
                            (ch == linkCellChar ? "is a link cell" : "blocks"));
    }
    if (target.stem == world.stem) {
        return;
    }
    bool wayBack = false;
    bool nextToIt = false;
    for (std::size_t i = 0; i < target.load.info.links.size(); ++i) {
        const MapLink& back = target.load.info.links[i];
        if (back.target == world.stem && linkUsable(target, i)) {
            wayBack = true;
            nextToIt = nextToIt ||
                       (std::abs(back.x - arrival.x) <= 1 && std::abs(back.y - arrival.y) <= 1);
        }
    }
    const FilePosition at = fieldOf(record, LinkField::Target).position;
    if (!wayBack) {
        report_.warning(world.infoPath(), at,
                        name + " leads to " + inQuotes(target.name()) +
                            ", which has no link back to " + inQuotes(world.name()));
    } else if (strict_ && !nextToIt) {
        report_.warning(world.infoPath(), fieldOf(record, LinkField::TargetX).position,
                        name + " arrives at " + cellText(arrival) + ", not next to a way back");
    }
}

void WorldChecker::checkWalks() {
    entries_[std::string(startWorldStem)].insert(
        entries_[std::string(startWorldStem)].begin(),
        Entry{MapCell{playerStartX, playerStartY},
              "the start cell " + worldtool::cellText(playerStartX, playerStartY)});
    for (const std::string& stem : stems_) {
        const AuthoredWorld& world = data_.world(stem);
        const auto found = entries_.find(stem);
        if (!world.loaded || found == entries_.end()) {
            continue;
        }
        const WorldMap map = mapOf(world);
        std::vector<std::vector<bool>> walks;
        std::vector<std::vector<bool>> strictWalks;
        for (const Entry& entry : found->second) {
            walks.push_back(reachOnFoot(map, entry.cell, true));
            strictWalks.push_back(strict_ ? reachOnFoot(map, entry.cell, false) : walks.back());
        }
        for (std::size_t n = 0; n < world.load.info.links.size(); ++n) {
            if (!linkUsable(world, n)) {
                continue;
            }
            const MapLink& link = world.load.info.links[n];
            const MapCell cell{link.x, link.y};
            const std::string name = "link " + std::to_string(n + 1) + " (" +
                                     inQuotes(link.caption) + ") at " + cellText(cell) +
                                     " cannot be reached on foot from ";
            for (std::size_t e = 0; e < walks.size(); ++e) {
                const std::string& from = found->second[e].from;
                if (!walks[e][cellIndex(cell)] || !strictWalks[e][cellIndex(cell)]) {
                    report_.warning(world.infoPath(),
                                    fieldOf(world.source.info.links[n], LinkField::X).position,
                                    name + from +
                                        (walks[e][cellIndex(cell)]
                                             ? " without crossing another link cell"
                                             : ""));
                    break;
                }
            }
        }
    }
}

void WorldChecker::checkReachable() {
    const std::string start(startWorldStem);
    if (!data_.world(start).loaded) {
        return;
    }
    std::set<std::string> seen{start};
    std::deque<std::string> todo{start};
    while (!todo.empty()) {
        const AuthoredWorld& world = data_.world(todo.front());
        todo.pop_front();
        for (std::size_t n = 0; n < world.load.info.links.size(); ++n) {
            const std::string& target = world.load.info.links[n].target;
            std::string path;
            if (linkUsable(world, n) && worldFilePath(target, gridExtension, path) &&
                data_.world(target).loaded && seen.insert(target).second) {
                todo.push_back(target);
            }
        }
    }
    for (const std::string& stem : stems_) {
        const AuthoredWorld& world = data_.world(stem);
        if (world.loaded && seen.count(stem) == 0) {
            report_.warning(world.infoPath(), {},
                            inQuotes(world.name()) + " cannot be reached from the start world");
        }
    }
}

} // namespace

bool linkUsable(const AuthoredWorld& world, std::size_t index) {
    if (!world.loaded || !recordComplete(world, index)) {
        return false;
    }
    const MapLink& link = world.load.info.links[index];
    if (link.x >= width || link.y >= height) {
        return false;
    }
    const MapCell cell{link.x, link.y};
    std::uint8_t first = 0;
    const WorldMap map = mapOf(world);
    return map.at(cell) == linkCellChar && map.findLink(cell, &first) != nullptr && first == index;
}

CheckTotals checkWorlds(DataFolder& data, bool strict, Report& report) {
    return WorldChecker(data, strict, report).run();
}

} // namespace worldtool
