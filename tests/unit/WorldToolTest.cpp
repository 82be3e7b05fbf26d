// tharvok-world: each diagnostic of `check` on a small data folder that differs from a clean one
// in one thing, by its exact line; the shipped data checks clean; the other commands on a fresh
// world and a folder of one's own; usage errors; every program's usage within 79 columns.
#include "GameHarness.h"

#include "WorldTool.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const std::string start = harness::startStem;
const std::string other = "b0b0b0b0b0b0b0b0b0b0b0b0b0b0b0b0";
const std::string third = "c0c0c0c0c0c0c0c0c0c0c0c0c0c0c0c0";

std::string wgf(const std::string& stem) { return harness::worldDir + stem + ".wgf"; }
std::string wif(const std::string& stem) { return harness::worldDir + stem + ".wif"; }

// A data folder as files: the start world and one more, each with a "-" at (40, 0) that leads
// to the other and arrives at (40, 1), and a config.ini that binds the keys the game uses.
struct Folder {
    std::map<std::string, std::vector<std::string>> grids;
    std::map<std::string, std::string> infos;
    std::string config = std::string(harness::playConfig);

    Folder() {
        for (const auto& [stem, name, target] :
             {std::tuple{start, "Start here", other}, std::tuple{other, "Other place", start}}) {
            grids[stem] = std::vector<std::string>(screenHeight, std::string(screenWidth, '.'));
            grids[stem][0][40] = '-';
            infos[stem] = std::string(name) + "\n1\nDoor " + target + " 40 0 40 1\n";
        }
    }
    void set(const std::string& stem, int x, int y, char ch) {
        grids[stem][static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = ch;
    }
    // A world of free cells with no links.
    void add(const std::string& stem, const std::string& info) {
        grids[stem] = std::vector<std::string>(screenHeight, std::string(screenWidth, '.'));
        infos[stem] = info;
    }
    void write(const harness::ScratchDir& dir) const {
        for (const auto& [stem, rows] : grids) {
            std::string text;
            for (const std::string& row : rows) {
                text += row + "\n";
            }
            dir.writeGrid(stem, text);
        }
        for (const auto& [stem, text] : infos) {
            dir.writeInfo(stem, text);
        }
        dir.writeConfig(config);
    }
};

struct ToolRun {
    int status = 0;
    std::vector<std::string> lines;
    std::vector<std::string> errors; // standard error's
};

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

ToolRun run(std::vector<std::string> args, const harness::ScratchDir* dir = nullptr,
            const fs::path& userConfig = {}) {
    if (dir != nullptr) {
        args.insert(args.end(), {"--data", dir->path().string()});
    }
    std::ostringstream out;
    std::ostringstream err;
    const worldtool::ToolSetting setting{false, THARVOK_SOURCE_DIR "/data", userConfig};
    ToolRun result;
    result.status = worldtool::worldMain(args, setting, out, err);
    result.lines = linesOf(out.str());
    result.errors = linesOf(err.str());
    return result;
}

struct Case {
    const char* what;
    std::function<void(Folder&)> change;
    std::vector<std::string> expected; // the lines before the summary
    bool strict = false;
    // The player's own config.ini: checked too when check is run without --data (then named
    // OWN in the lines), or alone with --config.
    std::string own = {};
    bool configOnly = false;
};

const std::string linkTwo = "2\nDoor " + other + " 40 0 40 1\n";

// The start world's header, before its links.
const std::string name = "Start here\n";

std::vector<Case> cases() {
    return {
        {"clean", [](Folder&) {}, {}, true},
        {"no start world",
         [](Folder& f) { f.grids.erase(start), f.infos.erase(start); },
         {wgf(start) + ": error: the start world cannot be read, so the game cannot start"}},
        {"missing target",
         [](Folder& f) {
             f.set(start, 5, 5, '-');
             f.infos[start] = name + linkTwo + "Lost nowhere 5 5 1 1\n";
         },
         {wif(start) +
          ":4:6: error: Start here: link 2 leads to 'nowhere', which cannot be loaded: " +
          wgf("nowhere") + " is missing or cannot be read"}},
        {"refused target",
         [](Folder& f) {
             f.set(start, 5, 5, '-');
             f.infos[start] = name + linkTwo + "Out ../up 5 5 1 1\n";
         },
         {wif(start) +
          ":4:5: error: Start here: link 2 leads to '../up', which the game refuses: a stem "
          "holds no '/', '\\' or NUL byte"}},
        {"short line",
         [](Folder& f) { f.grids[start][2].pop_back(); },
         {wgf(start) +
          ":3:80: error: Start here: line 3 has 79 characters, not 80: in the game lines 4 to "
          "25 are shifted"}},
        {"long line",
         [](Folder& f) { f.grids[start][2] += "x"; },
         {wgf(start) +
          ":3:81: error: Start here: line 3 has 81 characters, not 80: in the game lines 4 to "
          "25 are shifted"}},
        {"too many lines",
         [](Folder& f) { f.grids[start].push_back("more"); },
         {wgf(start) +
          ":26:1: error: Start here: the grid has 26 lines, not 25: the game ignores line 26 and "
          "after"}},
        {"empty lines after the grid, one of them CR LF, are harmless",
         [](Folder& f) {
             f.grids[start].insert(f.grids[start].end(), {"", "\r"});
         },
         {}},
        {"a line that holds two rows",
         [](Folder& f) { f.grids[start][0] += std::string(80, '.'); },
         {wgf(start) + ":1:81: error: Start here: line 1 has 160 characters, not 80: in the "
                       "game lines 2 to 25 are shifted"}},
        {"too few lines",
         [](Folder& f) { f.grids[start].pop_back(); },
         {wgf(start) +
          ":24:81: error: Start here: the grid has 24 lines, not 25: the game keeps what line "
          "25 showed before (blanks at the start)"}},
        {"count beyond the records",
         [](Folder& f) { f.infos[start] = name + "2\nDoor " + other + " 40 0 40 1\n"; },
         {wif(start) +
          ":2:1: error: Start here: the link count is 2, but the file ends after 1 link: the "
          "game makes the rest empty links at (0, 0)"}},
        {"count beyond the records, the file ending inside a link",
         [](Folder& f) {
             f.infos[start] = name + "2\nDoor " + other + " 40 0 40 1\nCut " + other + " 5\n";
         },
         {wif(start) +
          ":2:1: error: Start here: the link count is 2, but the file ends inside link 2: the "
          "game makes the rest empty links at (0, 0)"}},
        {"records beyond the count",
         [](Folder& f) { f.infos[start] += "Door " + other + " 40 0 40 1\n"; },
         {wif(start) +
          ":4:1: error: Start here: the file holds 1 more link than its link count (1) says: "
          "the game ignores it"}},
        {"not a number",
         [](Folder& f) { f.infos[start] = name + linkTwo + "Bad " + other + " 4 five 1 1\n"; },
         {wif(start) +
          ":4:40: error: Start here: link 2's y 'five' is not a number: the game reads it and "
          "every later field as 0 or empty"}},
        {"caption of two words, the stem starting with a digit: one message",
         [](Folder& f) {
             f.infos[start] = name + linkTwo + "Old Door 9" + other.substr(1) + " 5 5 1 1\n";
         },
         {wif(start) +
          ":4:1: error: Start here: link 2's caption 'Old Door' has 2 words, but a "
          "caption is one word: the game takes 'Door' as the world and '9" +
          other.substr(1) + "' as x, which is not a number"}},
        {"caption of three words",
         [](Folder& f) {
             f.infos[start] = name + linkTwo + "Road to town " + other + " 5 9 -1 1\n";
         },
         {wif(start) + ":4:1: error: Start here: link 2's caption 'Road to town' has 3 words, but "
                       "a caption is one word: the game takes 'to' as the world and 'town' as x, "
                       "which is not a number"}},
        {"a world by its name, in any case, and by the start of its stem",
         [](Folder& f) {
             f.set(start, 5, 5, '-'), f.set(start, 6, 5, '-');
             f.infos[start] = "Start here\n3\nDoor " + other + " 40 0 40 1\nBy OTHER_PLACE 5 5 " +
                              "1 1\nTo B0B0 6 5 1 1\n";
         },
         {wif(start) +
              ":4:4: error: Start here: link 2 leads to 'OTHER_PLACE', which is not a "
              "stem: the world 'Other place' is " +
              other + "; write that stem",
          wif(start) +
              ":5:4: error: Start here: link 3 leads to 'B0B0', which is not a stem: the "
              "world 'Other place' is " +
              other + "; write that stem"}},
        {"a world by its name of two words, which shifts the link as a caption of two would",
         [](Folder& f) { f.infos[start] = name + linkTwo + "Back Other place 40 0 40 1\n"; },
         {wif(start) +
          ":4:6: error: Start here: link 2 leads to 'Other place', which is not a "
          "stem: the world 'Other place' is " +
          other + "; write that stem"}},
        {"number running into a word",
         [](Folder& f) { f.infos[start] = name + linkTwo + "Cut " + other + " 5x 5 1 1\n"; },
         {wif(start) + ":4:38: error: Start here: link 2's x '5x' is not a number: the game reads "
                       "5 and takes "
                       "'x' as the next field",
          wif(start) + ":4:39: error: Start here: link 2's y 'x' is not a number: the game reads "
                       "it and every "
                       "later field as 0 or empty"}},
        {"header of one word",
         [](Folder& f) { f.infos[other] = "Other 1 Door " + start + " 40 0 40 1\n"; },
         {wif(other) + ":1:9: error: the header has one word where two belong: the game takes "
                       "'1' as the second word and 'Door' as the link count, which is not a "
                       "number, so it reads no links"}},
        {"header of three words",
         [](Folder& f) { f.infos[other] = "The other place 1 Door " + start + " 40 0 40 1\n"; },
         {wif(other) + ":1:11: error: the header has three words where two belong: the game "
                       "takes 'place' as the link count, which is not a number, so it reads no "
                       "links"}},
        {"short line under a link",
         [](Folder& f) { f.grids[other][0].pop_back(); },
         {wgf(other) +
          ":1:80: error: Other place: line 1 has 79 characters, not 80: in the game lines 2 to "
          "25 are shifted"}},
        {"a short line made up by a long one",
         [](Folder& f) {
             f.grids[start][2].pop_back();
             f.grids[start][3] += "x";
         },
         {wgf(start) +
              ":3:80: error: Start here: line 3 has 79 characters, not 80: in the game line 4 is "
              "shifted",
          wgf(start) + ":4:81: error: Start here: line 4 has 81 characters, not 80"}},
        {"empty grid",
         [](Folder& f) { f.grids[other].clear(); },
         {wgf(other) +
          ": error: Other place: the grid file is empty: the game keeps the cells shown before "
          "(blanks at the start)"}},
        {"empty link list",
         [](Folder& f) { f.infos[start] = ""; },
         {wif(start) + ": error: the file is empty: it needs two header words (the world's name) "
                       "and a link count"}},
        {"stem one digit off",
         [](Folder& f) {
             f.set(start, 5, 5, '-');
             f.infos[start] = name + linkTwo + "Near " + other.substr(0, 31) + "1 5 5 1 1\n";
         },
         {wif(start) + ":4:6: error: Start here: link 2 leads to '" + other.substr(0, 31) +
          "1', which cannot be loaded: " + wgf(other.substr(0, 31) + "1") +
          " is missing or cannot be read (did you mean " + other + "?)"}},
        {"number out of range",
         [](Folder& f) { f.infos[start] = name + "1\nDoor " + other + " 40 0 80 1\n"; },
         {wif(start) +
          ":3:44: error: Start here: link 1's arrival x 80 is outside 0 to 79: the game places "
          "the player in column 79"}},
        {"a number too large, with a sign",
         [](Folder& f) {
             f.infos[start] = name + "1\nDoor " + other + " 40 0 40 -99999999999999999999\n";
         },
         {wif(start) + ":3:47: error: Start here: link 1's arrival y '-99999999999999999999' is "
                       "too large a number: the game reads it and every later field as 0 or "
                       "empty"}},
        {"count out of range",
         [](Folder& f) { f.infos[start] = name + "257\nDoor " + other + " 40 0 40 1\n"; },
         {wif(start) +
          ":2:1: error: Start here: the link count 257 is outside 0 to 255: the game reads 1"}},
        {"link not on a dash",
         [](Folder& f) { f.infos[start] = name + linkTwo + "Odd " + other + " 5 5 40 1\n"; },
         {wif(start) +
          ":4:38: warning: Start here: link 2 ('Odd') sits on (5, 5), which holds '.' rather "
          "than '-': the game never shows or follows it"}},
        {"dash without a link",
         [](Folder& f) { f.set(start, 5, 5, '-'); },
         {wgf(start) +
          ":6:6: warning: Start here: '-' at (5, 5) has no link: stepping on it shows nothing"}},
        {"two links on a cell",
         [](Folder& f) { f.infos[start] = name + linkTwo + "Again " + other + " 40 0 40 1\n"; },
         {wif(start) +
          ":4:40: warning: Start here: link 2 ('Again') is on the same cell (40, 0) as link 1: "
          "the game only ever uses link 1"}},
        {"long caption",
         [](Folder& f) {
             f.infos[start] = name + "1\n" + std::string(75, 'D') + " " + other + " 40 0 40 1\n";
         },
         {wif(start) +
          ":3:1: warning: Start here: link 1's caption is 75 characters long: the game shows "
          "only the first 74"}},
        {"arrival blocks",
         [](Folder& f) { f.set(other, 40, 1, '~'); },
         {wif(start) +
          ":3:44: warning: Start here: link 1 ('Door') arrives at (40, 1) in 'Other place' on "
          "'~', which blocks"}},
        {"arrival on a link",
         [](Folder& f) {
             f.set(other, 40, 1, '-');
             f.infos[other] =
                 "Other place\n2\nDoor " + start + " 40 0 40 1\nStep " + start + " 40 1 40 1\n";
         },
         {wif(start) +
          ":3:44: warning: Start here: link 1 ('Door') arrives at (40, 1) in 'Other place' on "
          "'-', which is a link cell"}},
        {"no way back",
         [](Folder& f) {
             f.set(start, 5, 5, '-');
             f.infos[start] = name + linkTwo + "Cave " + third + " 5 5 1 1\n";
             f.add(third, "Dead end\n0\n");
         },
         {wif(start) +
          ":4:6: warning: Start here: link 2 ('Cave') leads to 'Dead end', which has no link "
          "back to 'Start here'"}},
        {"unreachable world",
         [](Folder& f) { f.add(third, "Lost isle\n0\n"); },
         {wif(third) + ": warning: Lost isle: cannot be reached from the start world"}},
        {"control byte",
         [](Folder& f) { f.set(start, 5, 5, '\x07'); },
         {wgf(start) +
          ":6:6: warning: Start here: byte '\\x07' is not printable ASCII: the game shows it as "
          "its code page 437 glyph"}},
        {"two control bytes, the first at the line's start",
         [](Folder& f) { f.set(start, 0, 5, '\x07'), f.set(start, 5, 5, '\x1b'); },
         {wgf(start) + ":6:1: warning: Start here: byte '\\x07' and 1 more on this line are not "
                       "printable ASCII: the game shows them as code page 437 glyphs"}},
        {"start cell blocks",
         [](Folder& f) { f.set(start, 40, 12, '~'); },
         {wgf(start) +
          ":13:41: warning: Start here: the start cell (40, 12) holds '~', which blocks: the "
          "player starts on it all the same"}},
        {"link out of reach",
         [](Folder& f) {
             for (int y = 4; y <= 6; ++y) {
                 f.grids[start][static_cast<std::size_t>(y)].replace(4, 3, ";;;");
             }
             f.set(start, 5, 5, '-');
             f.infos[start] = name + linkTwo + "Shut " + other + " 5 5 40 1\n";
         },
         {wif(start) +
          ":4:39: warning: Start here: link 2 ('Shut') at (5, 5) cannot be reached on foot "
          "from the start cell (40, 12)"}},
        {"not next to the way back",
         [](Folder& f) { f.infos[start] = name + "1\nDoor " + other + " 40 0 60 1\n"; },
         {wif(start) +
          ":3:44: error: Start here: link 1 ('Door') arrives at (60, 1), not next to a way "
          "back"},
         true},
        {"unknown name",
         [](Folder& f) { f.config += "cMoveUpp = &\n"; },
         {"config.ini:8:1: warning: 'cMoveUpp' is not a name the game knows (did you mean "
          "cMoveUp?): the line does nothing"}},
        {"pointing takes on or off, and its name is known",
         [](Folder& f) { f.config += "pointing = yes\npointng = on\n"; },
         {"config.ini:8:12: warning: pointing = 'yes' is neither on nor off: pointing with the "
          "mouse stays off",
          "config.ini:9:1: warning: 'pointng' is not a name the game knows (did you mean "
          "pointing?): the line does nothing"}},
        {"empty value",
         [](Folder& f) { f.config += "cRest =\n"; },
         {"config.ini:8:8: warning: cRest has an empty value: the action has no key"}},
        {"a key by its name: the game reads its first character, or no number",
         [](Folder& f) {
             f.config.replace(f.config.find("cMoveUp = &"), 11, "cMoveUp = Up");
             f.config.replace(f.config.find("cUse = E"), 8, "cUse = F1");
             f.config.replace(f.config.find("cMoveDown = ("), 13, "cMoveDown = ArrowDown");
             f.config.replace(f.config.find("= 9"), 3, "= Tab");
             f.config += "cHelp = esc\n";
         },
         {"config.ini:1:11: error: cMoveUp = 'Up' binds U, not Up arrow: the game reads only the "
          "first character; write & for Up arrow",
          "config.ini:2:13: error: cMoveDown = 'ArrowDown' binds A, not Down arrow: the game reads "
          "only the first character; write ( for Down arrow",
          "config.ini:5:8: error: cUse = 'F1' binds F, not F1: the game reads only the first "
          "character, and no character binds F1: only cSelect, cToggleRightOverlay and cHelp take "
          "a key code (112)",
          "config.ini:7:23: error: cToggleRightOverlay = 'Tab' binds no key, so the game has no "
          "key to show the panel: it takes a virtual-key code, not a key's name; write 9 for Tab",
          "config.ini:8:9: error: cHelp = 'esc' binds no key; Escape is the fixed key that leaves "
          "play or quits: give cHelp another key"}},
        {"binds nothing",
         [](Folder& f) { f.config = "cSelect = none\n" + f.config; },
         {"config.ini:1:11: error: cSelect = 'none' binds no key: it takes a virtual-key code "
          "from 1 to 255 (13 Enter, 9 Tab), so the game has no key to choose in the menu",
          "config.ini:7:1: warning: cSelect is set again: the game keeps the first value, on "
          "line 1, and skips this line"}},
        {"one key twice",
         [](Folder& f) { f.config += "cRest = e\n"; },
         {"config.ini:8:9: error: cRest binds E, as does cUse (line 5): a key bound to two "
          "actions never counts as newly pressed, so E no longer follows a link or chooses in the "
          "menu"}},
        {"use and choose on one key: what is lost is said once",
         [](Folder& f) { f.config = "cSelect = 69\n" + f.config; },
         {"config.ini:6:8: error: cUse binds E, as does cSelect (line 1): a key bound to two "
          "actions never counts as newly pressed, so E no longer follows a link or chooses in the "
          "menu",
          "config.ini:7:1: warning: cSelect is set again: the game keeps the first value, on "
          "line 1, and skips this line"}},
        {"Escape's key bound too",
         [](Folder& f) { f.config += "cHelp = 27\n"; },
         {"config.ini:8:9: error: cHelp binds Escape, as does the fixed Escape key: a key bound "
          "to two actions never counts as newly pressed, so Escape no longer leaves play or quits, "
          "nor "
          "opens the help box"}},
        {"larger than the game reads",
         [](Folder& f) { f.config += std::string(1 << 20, '#'); },
         {"config.ini: error: the file is larger than 1 MiB (1048576 bytes), the most the game "
          "reads: the game ignores it and binds no key but Escape and F1, so the player cannot "
          "walk"}},
        {"skipped line",
         [](Folder& f) { f.config += "just words\n"; },
         {"config.ini:8:1: warning: the game skips this line: it has no '='"}},
        {"a typo unbinds a move",
         [](Folder& f) { f.config.replace(f.config.find("cMoveLeft"), 9, "cMovLeft"); },
         {"config.ini:3:1: error: 'cMovLeft' is not a name the game knows (did you mean "
          "cMoveLeft?), so the game has no key to walk left"}},
        {"the panel's line without '='",
         [](Folder& f) { f.config.erase(f.config.find(" = 9"), 2); },
         {"config.ini:7:1: error: the game skips this line: it has no '=', so the game has no "
          "key to show the panel"}},
        {"no line for use",
         [](Folder& f) { f.config.erase(f.config.find("cUse"), 9); },
         {"config.ini: error: no line binds cUse: the game has no key to follow a link"}},
        {"the player's own config.ini too",
         [](Folder&) {},
         {"OWN:5:7: error: cUse has an empty value, so the game has no key to follow a link"},
         false,
         [] {
             std::string own(harness::playConfig);
             return own.replace(own.find("cUse = E"), 8, "cUse =");
         }()},
        {"a config.ini alone",
         [](Folder& f) { f.config += "cMoveUp = &\n"; },
         {"OWN:8:9: error: cRest binds Up arrow, as does cMoveUp (line 1): a key bound to two "
          "actions never counts as newly pressed, so Up arrow no longer moves up on a tap (held, "
          "it "
          "still moves)"},
         false,
         std::string(harness::playConfig) + "cRest = &\n",
         true},
    };
}

} // namespace

TEST(WorldTool, EachProblemIsOneLineWhereItStands) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.what);
        Folder folder;
        c.change(folder);
        harness::ScratchDir dir;
        folder.write(dir);
        std::vector<std::string> args{"check"};
        if (c.strict) {
            args.push_back("--strict");
        }
        ToolRun result;
        if (c.own.empty()) {
            result = run(args, &dir);
        } else {
            // The player's own file, beside the data folder's.
            const fs::path own = dir.path() / "own.ini";
            harness::writeFile(own, c.own);
            const fs::path was = fs::current_path();
            fs::current_path(dir.path());
            if (c.configOnly) {
                args.insert(args.end(), {"--config", own.string()});
            }
            result = run(args, nullptr, own);
            fs::current_path(was);
            for (std::string& line : result.lines) {
                if (line.starts_with(own.string())) {
                    line.replace(0, own.string().size(), "OWN");
                }
            }
        }
        ASSERT_FALSE(result.lines.empty());
        result.lines.pop_back(); // the summary
        EXPECT_EQ(result.lines, c.expected);
        const bool errors = std::any_of(c.expected.begin(), c.expected.end(), [](const auto& l) {
            return l.find(": error: ") != std::string::npos;
        });
        EXPECT_EQ(result.status, errors ? 1 : 0);
    }
}

TEST(WorldTool, ShippedDataChecksCleanAndStrict) {
    const ToolRun result = run({"check", "--strict", "--data", THARVOK_SOURCE_DIR "/data"});
    EXPECT_EQ(result.status, 0);
    ASSERT_EQ(result.lines.size(), 1u) << result.lines.front();
    EXPECT_TRUE(result.lines[0].ends_with(": no errors, no warnings")) << result.lines[0];
}

// The shipped config.ini says beside each value that is not a letter which key it binds, in the
// help box's words: "& is the Up arrow", "13 is Enter".
TEST(WorldTool, ShippedConfigNamesTheKeyOfEachCode) {
    const std::string text =
        harness::readFile(fs::path(THARVOK_SOURCE_DIR) / "data" / "config.ini");
    ConfigFile config;
    std::vector<ConfigLine> lines;
    config.parse(text, &lines);
    const KeyCodes codes = bindKeys(config);
    int named = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto row = std::find_if(actions.begin(), actions.end(),
                                      [&](const Action& a) { return a.name == lines[i].key; });
        if (lines[i].kind != ConfigLine::Kind::Entry || row == actions.end() ||
            std::isalpha(static_cast<unsigned char>(lines[i].value.front())) != 0) {
            continue;
        }
        std::string comment;
        for (std::size_t j = i; j > 0 && lines[j - 1].kind == ConfigLine::Kind::Comment; --j) {
            comment.insert(0, std::string(lines[j - 1].text) + "\n");
        }
        const std::string key =
            platform::vk::displayName(codes[static_cast<std::size_t>(row->slot)]);
        EXPECT_NE(comment.find(std::string(lines[i].value) + " is "), std::string::npos)
            << lines[i].text;
        EXPECT_NE(comment.find(key), std::string::npos) << lines[i].text << " binds " << key;
        ++named;
    }
    EXPECT_EQ(named, 7); // the arrows, Enter, Tab and help's key
}

TEST(WorldTool, NewMakesAWorldThatShowsAsTheGameDrawsIt) {
    harness::ScratchDir dir;
    Folder().write(dir);
    const ToolRun made = run({"new", "Fresh", "land"}, &dir);
    ASSERT_EQ(made.status, 0);
    ASSERT_EQ(made.lines.size(), 2u);
    const std::string stem = fs::path(made.lines[0]).stem().string();
    EXPECT_TRUE(std::regex_match(stem, std::regex("[0-9a-f]{32}"))) << stem;
    EXPECT_EQ(made.lines[0], (dir.path() / wgf(stem)).string());
    EXPECT_EQ(made.lines[1], (dir.path() / wif(stem)).string());
    EXPECT_EQ(made.errors,
              std::vector<std::string>{"tharvok-world: data folder " + dir.path().string()});

    // By a path to a file, by the start of its stem and by its name: the map alone on standard
    // output, the name and legend after it on standard error.
    for (const std::string& world : {stem + ".wif", stem.substr(0, 5), std::string("Fresh land")}) {
        const ToolRun shown = run({"show", world, "--plain"}, &dir);
        ASSERT_EQ(shown.status, 0) << world;
        ASSERT_EQ(shown.lines.size(), 25u);
        EXPECT_EQ(shown.lines[0], std::string(80, ';'));
        EXPECT_EQ(shown.lines[12], ";" + std::string(78, ',') + ";");
        EXPECT_EQ(shown.errors, std::vector<std::string>{"Fresh land  (" + wgf(stem) + " in " +
                                                         dir.path().string() + ")"});
    }

    const ToolRun checked = run({"check"}, &dir);
    EXPECT_EQ(checked.lines.front(),
              wif(stem) + ": warning: Fresh land: cannot be reached from the start world");

    // The start world's link cell carries its number, and the legend says where it leads.
    const ToolRun startShown = run({"show", start}, &dir);
    EXPECT_EQ(startShown.lines[0][40], '1');
    EXPECT_EQ(startShown.errors.back(), " 1  (40, 0)   Door -> Other place, arriving at (40, 1)");

    // A name two worlds share names neither; a stem in the wrong case is suggested.
    const ToolRun again = run({"new", "Fresh", "land"}, &dir);
    ASSERT_EQ(again.lines.size(), 2u);
    std::vector<std::string> both{stem, fs::path(again.lines[0]).stem().string()};
    std::sort(both.begin(), both.end());
    const ToolRun twice = run({"show", "Fresh land"}, &dir);
    EXPECT_EQ(twice.status, 1);
    EXPECT_EQ(twice.errors,
              (std::vector<std::string>{
                  "tharvok-world show: 'Fresh land' names 2 worlds; give more of the stem:",
                  "  " + both[0] + "  Fresh land", "  " + both[1] + "  Fresh land"}));
    const ToolRun upper = run({"show", "B0B0"}, &dir);
    EXPECT_EQ(upper.status, 1);
    EXPECT_EQ(upper.errors.back(), "tharvok-world show: no world's name or stem is 'B0B0' or "
                                   "starts so (did you mean '" +
                                       other + "'?)");
}

// A name or stem typed with a slip (letter case, one edit, two neighbours swapped) is suggested,
// and so is a world's name for one word of it.
TEST(WorldTool, ASlipOfTheHandGetsADidYouMean) {
    harness::ScratchDir dir;
    Folder().write(dir);
    const std::string swapped = "0b" + other.substr(2);
    for (const auto& [typed, meant] :
         {std::pair<std::string, std::string>{"other place", "Other place"},
          {"Other plce", "Other place"},
          {"Other plaec", "Other place"},
          {"other plce", "Other place"},
          {"PLACE", "Other place"},
          {swapped, other}}) {
        const ToolRun shown = run({"show", typed}, &dir);
        EXPECT_EQ(shown.status, 1);
        EXPECT_EQ(shown.errors.back(), "tharvok-world show: no world's name or stem is '" + typed +
                                           "' or starts so (did you mean '" + meant + "'?)");
        EXPECT_EQ(run({"link", typed, "1", "1", start, "1", "1", "Go"}, &dir).errors.back(),
                  "tharvok-world link: no world's name or stem is '" + typed +
                      "' or starts so (did you mean '" + meant + "'?)");
    }
}

std::map<fs::path, std::string> filesOf(const harness::ScratchDir& dir) {
    std::map<fs::path, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
        if (entry.is_regular_file()) {
            files[entry.path()] = harness::readFile(entry.path());
        }
    }
    return files;
}

// Each thing that would keep the game from using a link refuses both links, writing nothing.
TEST(WorldTool, LinkRefusesWhatTheGameWouldNotUse) {
    const std::string there = "Other place";
    const std::string here = "Start here";
    const struct {
        std::vector<std::string> args;
        std::string refusal;
    } cases[] = {
        {{here, "80", "3", there, "40", "1", "Gate"},
         wgf(start) + ": error: Start here: the link's cell (80, 3) is outside the map, which "
                      "runs from (0, 0) to (79, 24)"},
        {{here, "5", "5", there, "40", "1", "Gate"},
         wgf(start) + ":6:6: error: Start here: (5, 5) holds '.', not the '-' of a link, so the "
                      "game would never show or follow it (--make-path writes the '-')"},
        {{here, "40", "0", there, "40", "1", "Gate"},
         wif(start) + ":3:1: error: Start here: (40, 0) has a link already, link 1 ('Door'): "
                      "the game would only ever use the first"},
        {{here, "5", "5", there, "40", "-1", "Gate", "--make-path"},
         wgf(other) + ": error: Other place: the arrival (40, -1) is outside the map, which runs "
                      "from (0, 0) to (79, 24)"},
        {{here, "5", "5", there, "40", "1", "Old mill", "--make-path"},
         wif(start) + ":4:1: error: Start here: the caption 'Old mill' holds a blank, and the "
                      "game reads a caption as one word: it would show 'Old' and take 'mill' for "
                      "the world the link leads to; write it as one word, such as 'Old_mill'"},
        {{here, "5", "5", there, "40", "1", std::string(75, 'x'), "--make-path"},
         wif(start) + ":4:1: error: Start here: the caption is 75 characters long: the game "
                      "shows the first 74 and cuts the rest"},
        {{here, "5", "5", there, "40", "1", "Gate\x01", "--make-path"},
         wif(start) + ":4:1: error: Start here: the caption holds the byte \\x01, which the "
                      "game shows as \u263a (code page 437): link writes captions of printable "
                      "ASCII; write other bytes into the .wif with an editor"},
        // The way there would do; the way back is what is refused.
        {{here, "5", "5", there, "40", "1", "Gate", "--make-path", "--back", "40", "0", "5", "6",
          "Home"},
         wif(other) + ":3:1: error: Other place: (40, 0) has a link already, link 1 ('Door'): "
                      "the game would only ever use the first"},
        // A world linked to itself, its way back on the same cell.
        {{here, "5", "5", here, "7", "7", "Loop", "--make-path", "--back", "5", "5", "6", "6",
          "Back"},
         wif(start) + ": error: Start here: the link and its way back would both be on (5, 5)"},
        {{here, "5", "5", "Broken land", "40", "1", "Gate", "--make-path", "--back", "5", "5", "5",
          "6", "Home"},
         wif(third) + ":2:1: error: Broken land: the file holds an error (tharvok-world check "
                      "says which): link writes only into worlds the game reads as they are "
                      "written"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refusal);
        harness::ScratchDir dir;
        Folder folder;
        folder.add(third, "Broken land\nmany\n");
        folder.write(dir);
        const auto before = filesOf(dir);
        std::vector<std::string> args{"link"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ToolRun result = run(args, &dir);
        EXPECT_EQ(result.status, 1);
        ASSERT_EQ(result.errors.size(), 3u);
        EXPECT_EQ(result.errors[1], c.refusal);
        EXPECT_EQ(result.errors[2], "tharvok-world link: nothing was written");
        EXPECT_EQ(filesOf(dir), before);
    }
}

// Two worlds linked both ways by their names: only the count, the new lines and the two '-'
// change, line ends as they were, and the folder checks clean.
TEST(WorldTool, LinkWritesBothWaysAndKeepsEveryOtherByte) {
    harness::ScratchDir dir;
    Folder folder;
    folder.infos[start] = "Start here\r\n1\r\nDoor " + other + " 40 0 40 1\r\n";
    folder.infos[other] = "Other   place\n 1 \nDoor " + start + " 40 0 40 1"; // no last break
    folder.write(dir);
    auto expected = filesOf(dir);
    const ToolRun result = run({"link", "Start here", "5", "5", "b0b0", "70", "20", "Gate",
                                "--make-path", "--back", "70", "21", "5", "6", "Home"},
                               &dir);
    ASSERT_EQ(result.status, 0) << ::testing::PrintToString(result.errors);
    const fs::path world = dir.path() / harness::worldDir;
    expected[world / (start + ".wif")] =
        "Start here\r\n2\r\nDoor " + other + " 40 0 40 1\r\nGate " + other + " 5 5 70 20\r\n";
    expected[world / (other + ".wif")] =
        "Other   place\n 2 \nDoor " + start + " 40 0 40 1\nHome " + start + " 70 21 5 6\n";
    expected[world / (start + ".wgf")][5 * 81 + 5] = '-';
    expected[world / (other + ".wgf")][21 * 81 + 70] = '-';
    EXPECT_EQ(filesOf(dir), expected);
    EXPECT_EQ(result.lines.back(), wif(other) + ":4:1: Other place: link 2 'Home' on (70, 21) to "
                                                "Start here, arriving at (5, 6)");
    const ToolRun checked = run({"check"}, &dir);
    EXPECT_EQ(checked.status, 0) << ::testing::PrintToString(checked.lines);
}

TEST(WorldTool, InitStartsAFolderOfOnesOwnFromTheGamesData) {
    harness::ScratchDir dir;
    const fs::path mine = dir.path() / "mine";
    ASSERT_EQ(run({"init", mine.string()}).status, 0);
    const ToolRun checked = run({"check", "--data", mine.string()});
    EXPECT_EQ(checked.status, 0);
    EXPECT_EQ(checked.lines,
              std::vector<std::string>{"8 worlds, 16 links: no errors, no warnings"});
    EXPECT_EQ(run({"init", mine.string()}).status, 1) << "a folder that is not empty";
}

TEST(WorldTool, UsageErrorsExitTwoAndHelpExitsZero) {
    harness::ScratchDir dir;
    const std::vector<std::pair<std::vector<std::string>, int>> runs = {
        {{}, 2},
        {{"fly"}, 2},
        {{"check", "extra"}, 2},
        {{"check", "--fast"}, 2},
        {{"check", "--data", dir.path().string(), "--config", "x"}, 2},
        {{"show"}, 2},
        {{"new", "two words", "x"}, 2},
        {{"graph", "--data"}, 2},
        {{"check", "--data", (dir.path() / "none").string()}, 2},
        {{"new", "Quiet", "glade", "--data", dir.path().string()}, 2},
        {{"init", "--data", dir.path().string()}, 2},
        {{"link", "a", "1", "2", "b", "3", "4", "Go", "--back", "1", "2"}, 2},
        {{"link", "a", "1", "2", "b", "3", "4", "Go", "--back", "1", "2", "3", "4"}, 2},
        {{"--help"}, 0},
    };
    for (const auto& [args, status] : runs) {
        EXPECT_EQ(run(args).status, status) << ::testing::PrintToString(args);
    }
    EXPECT_TRUE(fs::is_empty(dir.path())) << "new wrote into a folder without worlds";
    for (const char* command : {"check", "show", "graph", "new", "link", "init"}) {
        const ToolRun help = run({command, "--help"});
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.lines.front().rfind(std::string("usage: tharvok-world ") + command, 0), 0u);
    }
}

// A file that cannot be written (here a folder stands where its temporary file goes) changes no
// file, the ones written before it neither.
TEST(WorldTool, LinkThatCannotWriteChangesNothing) {
    harness::ScratchDir dir;
    Folder().write(dir);
    const fs::path blocked = dir.path() / harness::worldDir / (other + ".wif.new");
    fs::create_directory(blocked);
    const auto before = filesOf(dir);
    const ToolRun result = run({"link", start, "5", "5", other, "5", "5", "Gate", "--make-path",
                                "--back", "6", "6", "5", "6", "Home"},
                               &dir);
    EXPECT_EQ(result.status, 1);
    const std::string said = result.errors.back();
    EXPECT_TRUE(said.starts_with("tharvok-world link: cannot make '" + blocked.string() + "': ") &&
                said.ends_with("; no file was changed"))
        << said;
    EXPECT_EQ(filesOf(dir), before);
}
