#include "Check.h"

#include "WorldNames.h"

#include "render/MessageBox.h"
#include "world/OnFoot.h"
#include "world/World.h"
#include "world/WorldMap.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <deque>
#include <map>
#include <optional>
#include <set>

namespace worldtool {

namespace {

constexpr int width = gridColumns;
constexpr int height = gridRows;

const InfoField& fieldOf(const std::array<InfoField, linkFieldCount>& record, LinkField field) {
    return record[static_cast<std::size_t>(field)];
}

// A part of a link list in the author guide's words.
std::string partName(const FileFinding& finding) {
    if (finding.field == InfoPart::LinkCount) {
        return "the link count";
    }
    if (finding.field < InfoPart::Caption) {
        return "the header";
    }
    static constexpr std::array<const char*, linkFieldCount> names = {
        "caption", "world", "x", "y", "arrival x", "arrival y"};
    const auto field =
        static_cast<std::size_t>(finding.field) - static_cast<std::size_t>(InfoPart::Caption);
    return "link " + std::to_string(finding.link) + "'s " + names[field];
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

// Whether a finding of the loaders is an error: it breaks the world, and what the game makes of
// the rest of the file follows from it.
bool breaks(const FileFinding& finding) { return finding.issue != FileIssue::Unprintable; }

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
    void reportGrid(const AuthoredWorld& world);
    void reportInfo(const AuthoredWorld& world);
    void reportCaption(const AuthoredWorld& world, const FileFinding& x,
                       const ShiftedCaption& caption);
    void checkMap(const AuthoredWorld& world);
    void checkTarget(const AuthoredWorld& world, std::size_t index);
    std::string stemsOf(const std::vector<std::string>& named);
    void checkJourney(const AuthoredWorld& world, std::size_t index);
    void checkWalks();
    void checkReachable();
    // A world whose files hold an error: what the game makes of its map and links follows from
    // that error, so nothing more is said about them.
    bool broken(const AuthoredWorld& world) const {
        return !world.loaded || broken_.count(world.stem) != 0;
    }

    DataFolder& data_;
    bool strict_;
    Report& report_;
    std::vector<std::string> stems_;
    std::set<std::string> broken_;
    std::map<std::string, std::vector<Entry>> entries_;
};

CheckTotals WorldChecker::run() {
    std::vector<std::string> others;
    stems_ = data_.listWorlds(others);
    for (const std::string& name : others) {
        report_.warning(std::string(worldDirectory) + name, {},
                        "not a world file: the game reads only STEM" + std::string(gridExtension) +
                            " and STEM" + std::string(infoExtension) + " here");
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
        if (const std::string name = messageName(world); !name.empty()) {
            report_.nameFile(world.gridPath(), name);
            report_.nameFile(world.infoPath(), name);
        }
        const auto& grid = world.source.grid.findings;
        const auto& info = world.source.info.findings;
        if (std::any_of(grid.begin(), grid.end(), breaks) ||
            std::any_of(info.begin(), info.end(), breaks)) {
            broken_.insert(stem);
        }
    }
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
                            : "the game refuses this name: a world's path is at most " +
                                  std::to_string(maxWorldPathLength) + " characters, without '\\'");
        return;
    }
    reportGrid(world);
    reportInfo(world);
    if (!broken(world)) {
        checkMap(world);
    }
    for (std::size_t i = 0; i < world.load.info.links.size(); ++i) {
        if (recordComplete(world, i)) {
            checkTarget(world, i);
        }
    }
}

// What the grid reader met, in the author guide's words.
void WorldChecker::reportGrid(const AuthoredWorld& world) {
    const std::string path = world.gridPath();
    const std::string columns = std::to_string(width);
    const std::string rows = std::to_string(height);
    for (const FileFinding& f : world.source.grid.findings) {
        const auto count = static_cast<std::size_t>(f.count);
        switch (f.issue) {
        case FileIssue::EmptyGrid:
            report_.error(path, f.position,
                          "the grid file is empty: the game keeps the cells shown before (blanks "
                          "at the start)");
            break;
        case FileIssue::RowLength: {
            const int line = static_cast<int>(f.position.line);
            std::string message = "line " + std::to_string(line) + " has " +
                                  counted(count, "character", "characters") + ", not " + columns;
            if (f.last > line) {
                message += ": in the game " + lineRange(line + 1, f.last) +
                           (f.last == line + 1 ? " is shifted" : " are shifted");
            }
            report_.error(path, f.position, message);
            break;
        }
        case FileIssue::Unprintable:
            report_.warning(path, f.position,
                            count == 1
                                ? "byte " + inQuotes(f.word) +
                                      " is not printable ASCII: the game shows it as its "
                                      "code page 437 glyph"
                                : "byte " + inQuotes(f.word) + " and " + std::to_string(count - 1) +
                                      " more on this line are not printable ASCII: the "
                                      "game shows them as code page 437 glyphs");
            break;
        case FileIssue::FewRows:
            report_.error(path, f.position,
                          "the grid has " + counted(count, "line", "lines") + ", not " + rows +
                              ": the game keeps what " +
                              lineRange(static_cast<int>(count) + 1, height) +
                              " showed before (blanks at the start)");
            break;
        case FileIssue::ExtraRows:
            report_.error(path, f.position,
                          "the grid has " + std::to_string(count) + " lines, not " + rows +
                              ": the game ignores line " + std::to_string(height + 1) +
                              " and after");
            break;
        default:
            break;
        }
    }
}

// What the link reader met, in the author guide's words.
void WorldChecker::reportInfo(const AuthoredWorld& world) {
    const std::string path = world.infoPath();
    const std::string header = "two header words (the world's name) and a link count";
    std::size_t shifted = 0; // the link whose caption was written as more than one word
    for (const FileFinding& f : world.source.info.findings) {
        if (f.link != 0 && f.link == shifted) {
            continue; // follows from its caption
        }
        const std::string what = partName(f);
        const bool badX = f.field == InfoPart::X &&
                          (f.issue == FileIssue::NotANumber ||
                           f.issue == FileIssue::NumberTooLarge || f.issue == FileIssue::NumberCut);
        if (const auto caption = badX ? shiftedCaption(world, f.link - 1) : std::nullopt) {
            reportCaption(world, f, *caption);
            shifted = f.link;
            continue;
        }
        switch (f.issue) {
        case FileIssue::EmptyInfo:
            report_.error(path, f.position, "the file is empty: it needs " + header);
            break;
        case FileIssue::HeaderCut:
            report_.error(path, f.position,
                          "the file ends before the link count: it needs " + header);
            break;
        case FileIssue::HeaderOneWord:
            report_.error(path, f.position,
                          "the header has one word where two belong: the game takes " +
                              inQuotes(f.word) + " as the second word and " + inQuotes(f.rest) +
                              " as the link count, which is not a number, so it reads no links");
            break;
        case FileIssue::HeaderThreeWords:
            report_.error(path, f.position,
                          "the header has three words where two belong: the game takes " +
                              inQuotes(f.word) +
                              " as the link count, which is not a number, so it reads no links");
            break;
        case FileIssue::CountNotANumber:
            report_.error(path, f.position,
                          "the link count " + inQuotes(f.word) +
                              " is not a number: the game reads no links");
            break;
        case FileIssue::NotANumber:
        case FileIssue::NumberTooLarge: {
            std::string hint;
            if (f.field == InfoPart::X &&
                std::binary_search(stems_.begin(), stems_.end(), f.word)) {
                hint = " (a caption of two words? a caption is one word)";
            }
            report_.error(path, f.position,
                          what + " " + inQuotes(f.word) +
                              (f.issue == FileIssue::NumberTooLarge ? " is too large a number"
                                                                    : " is not a number") +
                              hint + ": the game reads it and every later field as 0 or empty");
            break;
        }
        case FileIssue::NumberCut:
            report_.error(path, f.position,
                          what + " " + inQuotes(f.word) + " is not a number: the game reads " +
                              std::to_string(f.number) + " and takes " + inQuotes(f.rest) +
                              " as the next field");
            break;
        case FileIssue::OutOfRange: {
            std::string effect;
            if (f.kept <= f.last) {
                effect = "the game reads " + std::to_string(f.kept);
            } else if (f.field == InfoPart::TargetX || f.field == InfoPart::TargetY) {
                effect = std::string("the game places the player in ") +
                         (f.field == InfoPart::TargetX ? "column " : "row ") +
                         std::to_string(f.last);
            } else {
                effect = "the link lies off the map, where the player never stands";
            }
            report_.error(path, f.position,
                          what + " " + std::to_string(f.number) + " is outside 0 to " +
                              std::to_string(f.last) + ": " + effect);
            break;
        }
        case FileIssue::CountBeyondRecords:
            report_.error(
                path, f.position,
                "the link count is " + std::to_string(f.number) + ", but the file ends " +
                    (f.field != InfoPart::Caption
                         ? "inside link " + std::to_string(f.link)
                         : "after " + counted(static_cast<std::size_t>(f.count), "link", "links")) +
                    ": the game makes the rest empty links at (0, 0)");
            break;
        case FileIssue::RecordsBeyondCount:
            report_.error(
                path, f.position,
                "the file holds " +
                    counted(static_cast<std::size_t>(f.count), "more link", "more links") +
                    " than its link count (" + std::to_string(f.number) +
                    ") says: the game ignores " + (f.count == 1 ? "it" : "them"));
            break;
        case FileIssue::TrailingWords:
            report_.error(path, f.position,
                          "the file goes on after its " +
                              counted(static_cast<std::size_t>(f.number), "link", "links") +
                              ": the game ignores " + inQuotes(f.word) + " and the rest");
            break;
        default:
            break;
        }
    }
    const auto& records = world.source.info.links;
    for (std::size_t n = 0; n < records.size(); ++n) {
        const std::string& caption = world.load.info.links[n].caption;
        if (recordComplete(world, n) && caption.size() > maxCaptionLength) {
            report_.warning(path, fieldOf(records[n], LinkField::Caption).position,
                            "link " + std::to_string(n + 1) + "'s caption is " +
                                std::to_string(caption.size()) +
                                " characters long: the game shows only the first " +
                                std::to_string(maxCaptionLength));
        }
    }
}

// A caption of more than one word: the game reads its second word as the world and its third as
// x, and the link goes wrong from there.
void WorldChecker::reportCaption(const AuthoredWorld& world, const FileFinding& x,
                                 const ShiftedCaption& caption) {
    std::string words;
    for (const std::string_view word : caption.caption) {
        words.append(words.empty() ? "" : " ").append(word);
    }
    const auto& record = world.source.info.links[x.link - 1];
    // A world's name of two words where its stem belongs shifts the link the same way.
    const std::string written =
        std::string(caption.caption.back()) + " " + std::string(caption.meant);
    if (const std::vector<std::string> named = worldsNamedBy(data_, stems_, written);
        caption.caption.size() >= 2 && named.size() == 1) {
        report_.error(world.infoPath(), fieldOf(record, LinkField::Target).position,
                      "link " + std::to_string(x.link) + " leads to " + inQuotes(written) +
                          ", which is not a stem: " + stemsOf(named));
        return;
    }
    const InfoField& at = fieldOf(record, LinkField::Caption);
    report_.error(world.infoPath(), at.position,
                  "link " + std::to_string(x.link) + "'s caption " + inQuotes(words) + " has " +
                      std::to_string(caption.caption.size()) +
                      " words, but a caption is one word: the game takes " +
                      inQuotes(caption.world) + " as the world and " + inQuotes(caption.x) +
                      " as x, which is not a number");
}

// The links on the map of a world whose files read as meant.
void WorldChecker::checkMap(const AuthoredWorld& world) {
    const std::string path = world.infoPath();
    const GridSource& source = world.source.grid;
    const WorldMap map = mapOf(world);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const MapCell cell{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y)};
            if (map.at(cell) == linkCellChar && map.findLink(cell, nullptr) == nullptr) {
                report_.warning(world.gridPath(), source.cells[cellIndex(cell)],
                                "'-' at " + cellText(cell) +
                                    " has no link: stepping on it shows nothing");
            }
        }
    }
    const MapCell start{playerStartX, playerStartY};
    if (world.stem == startWorldStem && map.isBlocking(start)) {
        report_.warning(world.gridPath(), source.cells[cellIndex(start)],
                        "the start cell " + cellText(start) + " holds " +
                            inQuotes(std::string(1, static_cast<char>(map.at(start)))) +
                            ", which blocks: the player starts on it all the same");
    }
    for (std::size_t n = 0; n < world.load.info.links.size(); ++n) {
        const MapLink& link = world.load.info.links[n];
        if (!recordComplete(world, n) || link.x >= width || link.y >= height) {
            continue; // an incomplete record or a cell off the map is an error already
        }
        const InfoField& x = fieldOf(world.source.info.links[n], LinkField::X);
        const std::string name =
            "link " + std::to_string(n + 1) + " (" + inQuotes(link.caption) + ")";
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

// The stems of the worlds a link's world names, after "which is not a stem: ".
std::string WorldChecker::stemsOf(const std::vector<std::string>& named) {
    std::string worlds;
    for (std::size_t i = 0; i < named.size(); ++i) {
        worlds += i == 0 ? "" : i + 1 == named.size() ? " and " : ", ";
        worlds += inQuotes(data_.world(named[i]).name()) + (named.size() == 1 ? " is " : " (") +
                  escaped(named[i]) + (named.size() == 1 ? "" : ")");
    }
    return named.size() == 1
               ? "the world " + worlds + "; write that stem"
               : "it names the worlds " + worlds + "; write the stem of the one meant";
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
                                     : "the path of its files would be longer than " +
                                           std::to_string(maxWorldPathLength) + " characters"));
        return;
    }
    const AuthoredWorld& target = data_.world(link.target);
    if (!target.loaded && target.stem == startWorldStem) {
        return; // said once, of the start world
    }
    const std::vector<std::string> named = data_.worldExists(link.target)
                                               ? std::vector<std::string>{}
                                               : worldsNamedBy(data_, stems_, link.target);
    if (!named.empty()) {
        report_.error(world.infoPath(), field.position,
                      name + " leads to " + inQuotes(link.target) +
                          ", which is not a stem: " + stemsOf(named));
        return;
    }
    if (!target.loaded) {
        const std::optional<std::string> near = data_.nearStem(link.target);
        report_.error(world.infoPath(), field.position,
                      name + " leads to " + inQuotes(link.target) + ", which cannot be loaded: " +
                          escaped(target.failedPath) + " is missing or cannot be read" +
                          (near ? " (did you mean " + escaped(*near) + "?)" : ""));
        return;
    }
    if (!broken(world) && !broken(target) && linkUsable(world, index)) {
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
        if (broken(world) || found == entries_.end()) {
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
    bool throughBroken = false;
    while (!todo.empty()) {
        const AuthoredWorld& world = data_.world(todo.front());
        todo.pop_front();
        // The links of a broken world are what its error makes of them: follow what was read.
        throughBroken = throughBroken || broken(world);
        for (std::size_t n = 0; n < world.load.info.links.size(); ++n) {
            const std::string& target = world.load.info.links[n].target;
            const bool followed = broken(world) ? recordComplete(world, n) : linkUsable(world, n);
            std::string path;
            if (followed && worldFilePath(target, gridExtension, path) &&
                data_.world(target).loaded && seen.insert(target).second) {
                todo.push_back(target);
            }
        }
    }
    if (throughBroken) {
        return; // what cannot be reached may follow from an error on the way
    }
    for (const std::string& stem : stems_) {
        const AuthoredWorld& world = data_.world(stem);
        if (world.loaded && seen.count(stem) == 0) {
            report_.warning(world.infoPath(), {}, "cannot be reached from the start world");
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
