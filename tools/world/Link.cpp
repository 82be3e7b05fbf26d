// tharvok-world link: a link written into a world's link list (and a way back into the other's),
// after everything that would keep the game from using it has been ruled out for both.
#include "Commands.h"
#include "Report.h"
#include "WorldTool.h"

#include "render/MessageBox.h"
#include "world/WorldFiles.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace worldtool {

namespace {

struct Cell {
    int x = 0;
    int y = 0;
};

// One link to write: on `cell` of the world `from`, leading to `arrival` in the world `to`.
struct NewLink {
    std::string from;
    Cell cell;
    std::string to;
    Cell arrival;
    std::string caption;
};

bool readNumber(const std::string& word, int& value) {
    const char* end = word.data() + word.size();
    const auto [stop, code] = std::from_chars(word.data(), end, value);
    return code == std::errc() && stop == end && !word.empty();
}

bool insideGrid(Cell cell) {
    return cell.x >= 0 && cell.x < gridColumns && cell.y >= 0 && cell.y < gridRows;
}

std::size_t cellIndex(Cell cell) { return static_cast<std::size_t>(cell.y * gridColumns + cell.x); }

// Why the game would not show `caption` as it is written; empty when it would.
std::string captionProblem(const std::string& caption) {
    if (caption.empty()) {
        return "the caption is empty: the game would read the world's stem as the caption";
    }
    if (std::any_of(caption.begin(), caption.end(), isWordSpace)) {
        std::vector<std::string> words(1);
        for (const char c : caption) {
            if (!isWordSpace(c)) {
                words.back() += c;
            } else if (!words.back().empty()) {
                words.emplace_back();
            }
        }
        std::string joined = caption;
        std::replace_if(joined.begin(), joined.end(), isWordSpace, '_');
        std::string what = "the caption " + inQuotes(caption) +
                           " holds a blank, and the game reads a caption as one word";
        if (words.size() > 1 && !words[1].empty()) {
            what += ": it would show " + inQuotes(words[0]) + " and take " + inQuotes(words[1]) +
                    " for the world the link leads to";
        }
        return what + "; write it as one word, such as " + inQuotes(joined);
    }
    if (caption.size() > maxCaptionLength) {
        return "the caption is " + std::to_string(caption.size()) +
               " characters long: the game shows the first " + std::to_string(maxCaptionLength) +
               " and cuts the rest";
    }
    for (const char c : caption) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32 || byte >= 127) {
            return "the caption holds the byte " + escaped(std::string(1, c)) +
                   ", which the game shows as " + glyphs(std::string(1, c)) +
                   " (code page 437): link writes captions of printable ASCII; write other "
                   "bytes into the .wif with an editor";
        }
    }
    return {};
}

// Where line `line` (from 1) of `data` starts.
std::size_t lineStart(std::string_view data, std::uint32_t line) {
    std::size_t offset = 0;
    for (std::uint32_t n = 1; n < line && offset < data.size(); ++n) {
        const std::size_t end = data.find('\n', offset);
        offset = end == std::string_view::npos ? data.size() : end + 1;
    }
    return offset;
}

// The line a link appended to `data` as the `index`th new one (from 0) goes on.
FilePosition appendedLine(std::string_view data, std::size_t index) {
    const auto breaks = static_cast<std::uint32_t>(std::count(data.begin(), data.end(), '\n'));
    const bool open = !data.empty() && data.back() != '\n';
    return {breaks + (open ? 2U : 1U) + static_cast<std::uint32_t>(index), 1};
}

std::string cellName(Cell cell) { return cellText(cell.x, cell.y); }

// What is said of a cell outside the map.
std::string outsideGrid() {
    return " is outside the map, which runs from (0, 0) to " +
           cellText(gridColumns - 1, gridRows - 1);
}

// Checks links before anything is written, and says each refusal as a compiler would.
class LinkPlan {
public:
    LinkPlan(DataFolder& data, bool makePath, std::ostream& err)
        : data_(data), makePath_(makePath), err_(err) {}

    void check(const NewLink& link) {
        const AuthoredWorld& from = data_.world(link.from);
        const AuthoredWorld& to = data_.world(link.to);
        if (!readable(from, true) || !readable(to, false)) {
            planned_.push_back(link);
            return;
        }
        const std::size_t earlier = plannedFrom(link.from);
        if (from.load.info.links.size() + earlier + 1 > static_cast<std::size_t>(maxLinkCount)) {
            refuse(from, from.infoPath(), from.source.info.linkCount.position,
                   "the world has " + std::to_string(maxLinkCount) +
                       " links already, as many as the game keeps");
        }
        if (!insideGrid(link.cell)) {
            refuse(from, from.gridPath(), {},
                   "the link's cell " + cellName(link.cell) + outsideGrid());
        } else {
            checkCell(from, link);
        }
        if (!insideGrid(link.arrival)) {
            refuse(to, to.gridPath(), {}, "the arrival " + cellName(link.arrival) + outsideGrid());
        }
        const std::string problem = captionProblem(link.caption);
        if (!problem.empty()) {
            refuse(from, from.infoPath(), appendedLine(from.source.infoData, earlier), problem);
        }
        planned_.push_back(link);
    }

    bool refused() const { return refusals_ > 0; }

    // Writes every planned link (and path), each file whole or not at all; says what it wrote.
    bool write(std::ostream& out) {
        std::vector<std::pair<std::string, std::string>> files;
        std::vector<std::string> said;
        std::map<std::string, std::size_t> added; // links written into each world so far
        for (const NewLink& link : planned_) {
            const AuthoredWorld& from = data_.world(link.from);
            const auto ch = static_cast<char>(from.load.cells[cellIndex(link.cell)]);
            if (ch != '-') {
                std::string& grid = contents(files, from.gridPath(), from.source.gridData);
                const FilePosition at = from.source.grid.cells[cellIndex(link.cell)];
                grid[lineStart(grid, at.line) + at.column - 1] = '-';
                said.push_back(escaped(from.gridPath()) + position(at) + escaped(from.name()) +
                               ": a '-' on " + cellName(link.cell) + " in place of " +
                               inQuotes(std::string(1, ch)));
            }
            const std::string& old = from.source.infoData;
            std::string& info = contents(files, from.infoPath(), old);
            const std::size_t n = added[link.from]++;
            const std::size_t lineBreak = old.find('\n');
            const bool crlf =
                lineBreak != std::string::npos && lineBreak > 0 && old[lineBreak - 1] == '\r';
            const std::string ending = crlf ? "\r\n" : "\n";
            if (n == 0) {
                const InfoField& count = from.source.info.linkCount;
                info.replace(count.offset, count.length,
                             std::to_string(from.load.info.links.size() + plannedFrom(link.from)));
                if (!info.empty() && info.back() != '\n') {
                    info += ending;
                }
            }
            info += link.caption + " " + link.to + " " + std::to_string(link.cell.x) + " " +
                    std::to_string(link.cell.y) + " " + std::to_string(link.arrival.x) + " " +
                    std::to_string(link.arrival.y) + ending;
            said.push_back(
                escaped(from.infoPath()) + position(appendedLine(old, n)) + escaped(from.name()) +
                ": link " + std::to_string(from.load.info.links.size() + n + 1) + " " +
                inQuotes(link.caption) + " on " + cellName(link.cell) + " to " +
                escaped(data_.world(link.to).name()) + ", arriving at " + cellName(link.arrival));
        }
        std::string error;
        if (!data_.replaceFiles(files, error)) {
            err_ << "tharvok-world link: " << error << '\n';
            return false;
        }
        for (const std::string& line : said) {
            out << line << '\n';
        }
        return true;
    }

private:
    static std::string position(FilePosition at) {
        std::string text(1, ':');
        text.append(std::to_string(at.line)).append(1, ':');
        text.append(std::to_string(at.column)).append(": ");
        return text;
    }

    void refuse(const AuthoredWorld& world, const std::string& file, FilePosition at,
                const std::string& what) {
        err_ << escaped(file);
        if (at.line != 0) {
            err_ << ':' << at.line << ':' << at.column;
        }
        err_ << ": error: " << escaped(world.name()) << ": " << what << '\n';
        ++refusals_;
    }

    // Whether the world can be read, and, when link writes into it, whether the game reads its
    // files as they are written (so that a link appended is read as one).
    bool readable(const AuthoredWorld& world, bool written) {
        const auto key = std::pair(world.stem, written);
        if (const auto known = readable_.find(key); known != readable_.end()) {
            return known->second;
        }
        return readable_[key] = readableNow(world, written);
    }

    bool readableNow(const AuthoredWorld& world, bool written) {
        if (!world.loaded) {
            refuse(world, world.failedPath.empty() ? world.gridPath() : world.failedPath, {},
                   "the file is missing or cannot be read");
            return false;
        }
        if (!written) {
            return true;
        }
        for (const auto* findings : {&world.source.grid.findings, &world.source.info.findings}) {
            for (const FileFinding& finding : *findings) {
                if (finding.issue != FileIssue::Unprintable) {
                    const bool grid = findings == &world.source.grid.findings;
                    refuse(world, grid ? world.gridPath() : world.infoPath(), finding.position,
                           "the file holds an error (tharvok-world check says which): link "
                           "writes only into worlds the game reads as they are written");
                    return false;
                }
            }
        }
        return true;
    }

    void checkCell(const AuthoredWorld& from, const NewLink& link) {
        const auto ch = static_cast<char>(from.load.cells[cellIndex(link.cell)]);
        if (ch != '-' && !makePath_) {
            refuse(from, from.gridPath(), from.source.grid.cells[cellIndex(link.cell)],
                   cellName(link.cell) + " holds " + inQuotes(std::string(1, ch)) +
                       ", not the '-' of a link, so the game would never show or follow it "
                       "(--make-path writes the '-')");
        }
        const std::vector<MapLink>& links = from.load.info.links;
        for (std::size_t n = 0; n < links.size(); ++n) {
            if (links[n].x == link.cell.x && links[n].y == link.cell.y) {
                refuse(from, from.infoPath(), from.source.info.links[n][0].position,
                       cellName(link.cell) + " has a link already, link " + std::to_string(n + 1) +
                           " (" + inQuotes(links[n].caption) +
                           "): the game would only ever use the first");
                return;
            }
        }
        for (const NewLink& other : planned_) {
            if (other.from == link.from && other.cell.x == link.cell.x &&
                other.cell.y == link.cell.y) {
                refuse(from, from.infoPath(), {},
                       "the link and its way back would both be on " + cellName(link.cell));
            }
        }
    }

    std::size_t plannedFrom(const std::string& stem) const {
        return static_cast<std::size_t>(std::count_if(
            planned_.begin(), planned_.end(), [&](const NewLink& l) { return l.from == stem; }));
    }

    // The new contents of `file`, starting from `old` the first time it is asked for.
    static std::string& contents(std::vector<std::pair<std::string, std::string>>& files,
                                 const std::string& file, const std::string& old) {
        for (auto& [name, bytes] : files) {
            if (name == file) {
                return bytes;
            }
        }
        return files.emplace_back(file, old).second;
    }

    DataFolder& data_;
    bool makePath_;
    std::ostream& err_;
    std::vector<NewLink> planned_;
    std::map<std::pair<std::string, bool>, bool> readable_;
    int refusals_ = 0;
};

} // namespace

int linkWorlds(DataFolder& data, const LinkArguments& arguments, std::ostream& out,
               std::ostream& err) {
    const std::vector<std::string>& words = arguments.words;
    const std::vector<std::string>& back = arguments.back;
    Cell numbers[4];
    const std::pair<const std::string*, int*> fields[] = {{&words[1], &numbers[0].x},
                                                          {&words[2], &numbers[0].y},
                                                          {&words[4], &numbers[1].x},
                                                          {&words[5], &numbers[1].y}};
    std::vector<std::pair<const std::string*, int*>> all(std::begin(fields), std::end(fields));
    if (!back.empty()) {
        all.insert(all.end(), {{&back[0], &numbers[2].x},
                               {&back[1], &numbers[2].y},
                               {&back[2], &numbers[3].x},
                               {&back[3], &numbers[3].y}});
    }
    for (const auto& [word, value] : all) {
        if (!readNumber(*word, *value)) {
            err << "tharvok-world link: " << inQuotes(*word)
                << " is not a number: a cell is two numbers, x from 0 to 79 and y from 0 to "
                   "24\n";
            return exitUsage;
        }
    }
    const std::string from = worldNamed(data, words[0], "link", err);
    const std::string to = from.empty() ? std::string() : worldNamed(data, words[3], "link", err);
    if (from.empty() || to.empty()) {
        return exitProblems;
    }
    LinkPlan plan(data, arguments.makePath, err);
    plan.check({from, numbers[0], to, numbers[1], words[6]});
    if (!back.empty()) {
        plan.check({to, numbers[2], from, numbers[3], back[4]});
    }
    if (plan.refused()) {
        err << "tharvok-world link: nothing was written\n";
        return exitProblems;
    }
    return plan.write(out) ? exitClean : exitProblems;
}

} // namespace worldtool
