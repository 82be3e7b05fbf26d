// What the game makes of a terminal from what it says of itself: TERM and its terminfo entry,
// the variables terminals set, the locale.
#include "platform/posix/TerminalTraits.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <vector>

namespace {

using platform::posix::parseTerminfo;
using platform::posix::TerminalTraits;
using platform::posix::Terminfo;
using platform::posix::traitsOf;

using Environment = std::map<std::string, std::string>;

TerminalTraits traits(const Environment& environment, std::optional<Terminfo> terminfo,
                      bool utf8Locale = true) {
    return traitsOf(
        [&](const char* name) -> std::optional<std::string> {
            const auto found = environment.find(name);
            return found == environment.end() ? std::nullopt : std::optional(found->second);
        },
        terminfo, utf8Locale);
}

constexpr Terminfo xtermInfo{true, true};
constexpr Terminfo screenInfo{false, true};

TEST(TerminalTraits, EachTerminalAsItSaysItIs) {
    struct Row {
        const char* what;
        Environment environment;
        std::optional<Terminfo> terminfo;
        bool alternateScreen;
        bool backColourErase;
        bool grows;
    };
    const Row rows[] = {
        {"xterm",
         {{"TERM", "xterm"}, {"XTERM_VERSION", "XTerm(379)"}},
         xtermInfo,
         true,
         true,
         true},
        {"VTE", {{"TERM", "xterm-256color"}, {"VTE_VERSION", "7002"}}, xtermInfo, true, true, true},
        {"konsole reports rows it does not show",
         {{"TERM", "xterm-256color"}, {"KONSOLE_VERSION", "221203"}, {"XTERM_VERSION", "x"}},
         xtermInfo,
         true,
         true,
         false},
        {"kitty, unknown entry", {{"TERM", "xterm-kitty"}}, std::nullopt, true, true, false},
        {"xterm's tmux",
         {{"TERM", "tmux-256color"}, {"TMUX", "/tmp/t,1,0"}, {"XTERM_VERSION", "x"}},
         screenInfo,
         true,
         false,
         false},
        {"GNU screen",
         {{"TERM", "screen"}, {"STY", "1.pts-0"}, {"XTERM_VERSION", "x"}},
         screenInfo,
         false,
         false,
         false},
        {"GNU screen, entry unknown",
         {{"TERM", "screen.xterm-256color"}},
         std::nullopt,
         false,
         false,
         false},
        {"no smcup", {{"TERM", "vt100"}}, Terminfo{false, false}, false, false, false},
    };
    for (const Row& row : rows) {
        const TerminalTraits got = traits(row.environment, row.terminfo);
        EXPECT_EQ(got.alternateScreen, row.alternateScreen) << row.what;
        EXPECT_EQ(got.backColourErase, row.backColourErase) << row.what;
        EXPECT_EQ(got.growsHonestly, row.grows) << row.what;
        EXPECT_TRUE(got.utf8) << row.what;
    }
}

TEST(TerminalTraits, AsciiUnlessTheLocaleOrTheUserSaysUtf8) {
    EXPECT_FALSE(traits({{"TERM", "xterm"}}, xtermInfo, false).utf8);
    EXPECT_TRUE(traits({{"TERM", "xterm"}, {"THARVOK_UTF8", "1"}}, xtermInfo, false).utf8);
    EXPECT_FALSE(traits({{"TERM", "xterm"}, {"THARVOK_UTF8", "0"}}, xtermInfo, false).utf8);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(TerminalTraits, CompiledEntriesReadAsInfocmpShowsThem) {
    // (file, bce, smcup) as `infocmp -1` lists them.
    const std::tuple<const char*, bool, bool> entries[] = {
        {"x/xterm", true, true}, {"s/screen", false, true}, {"d/dumb", false, false}};
    int read = 0;
    for (const auto& [name, bce, smcup] : entries) {
        for (const char* folder : {"/lib/terminfo/", "/usr/share/terminfo/"}) {
            const std::string bytes = readFile(std::string(folder) + name);
            if (bytes.empty()) {
                continue;
            }
            const std::optional<Terminfo> info = parseTerminfo(bytes);
            ASSERT_TRUE(info) << name;
            EXPECT_EQ(info->backColourErase, bce) << name;
            EXPECT_EQ(info->alternateScreen, smcup) << name;
            ++read;
        }
    }
    EXPECT_GT(read, 0) << "no terminfo entries found (ncurses-base)";
    EXPECT_FALSE(parseTerminfo("not an entry at all"));
    EXPECT_FALSE(parseTerminfo(std::string("\x1a\x01\xff\xff", 4) + std::string(8, '\0')));
}

// Two bytes, low first, as a compiled entry holds its numbers.
std::string twoBytes(int value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}

// A compiled entry: the header, `names`, the booleans, `numbers` numbers, and the strings' offsets
// (-1 absent, -2 cancelled) with no string table after them.
std::string compiled(bool extended, std::string_view names, const std::vector<int>& bools,
                     int numbers, const std::vector<int>& strings) {
    std::string file = twoBytes(extended ? 01036 : 0432);
    for (const std::size_t count : {names.size(), bools.size(), static_cast<std::size_t>(numbers),
                                    strings.size(), std::size_t{0}}) {
        file += twoBytes(static_cast<int>(count));
    }
    file += names;
    for (const int b : bools) {
        file += static_cast<char>(b);
    }
    file.resize(file.size() + file.size() % 2);
    file.append(static_cast<std::size_t>(numbers) * (extended ? 4 : 2), '\x01');
    for (const int offset : strings) {
        file += twoBytes(offset);
    }
    return file;
}

// `count` values of `fill`, but for the ones given by position.
std::vector<int> values(int count, int fill, std::initializer_list<std::pair<int, int>> set) {
    std::vector<int> all(static_cast<std::size_t>(count), fill);
    for (const auto& [at, value] : set) {
        all[static_cast<std::size_t>(at)] = value;
    }
    return all;
}

TEST(TerminalTraits, MadeEntriesReadAtTheirPlacesOnly) {
    // bce is boolean 28, smcup string 28; their neighbours say the opposite.
    const std::string both = compiled(false, "made|both", values(30, 0, {{28, 1}}), 3,
                                      values(44, 0, {{27, -1}, {29, -1}, {42, -1}}));
    const std::string neither =
        compiled(true, "made|neither", values(30, 1, {{28, 0}}), 3, values(44, 0, {{28, -2}}));
    const auto patched = [&](std::size_t at) {
        std::string file = both;
        file[at] = file[at + 1] = '\xFF';
        return file;
    };
    const std::tuple<const char*, std::string, std::optional<Terminfo>> rows[] = {
        {"both", both, Terminfo{true, true}},
        {"neither, numbers of four bytes", neither, Terminfo{false, false}},
        {"no names, booleans or numbers", compiled(false, "", {}, 0, values(29, -1, {{28, 0}})),
         Terminfo{false, true}},
        {"no strings", compiled(false, "x", values(29, 0, {{28, 1}}), 0, {}),
         Terminfo{true, false}},
        {"too short for its strings", both.substr(0, both.size() - 1), std::nullopt},
        {"names of negative size", patched(2), std::nullopt},
        {"a negative count of booleans", patched(4), std::nullopt},
        {"a negative count of numbers", patched(6), std::nullopt},
        {"a negative count of strings", patched(8), std::nullopt},
    };
    for (const auto& [what, file, expected] : rows) {
        const std::optional<Terminfo> info = parseTerminfo(file);
        ASSERT_EQ(info.has_value(), expected.has_value()) << what;
        if (info) {
            EXPECT_EQ(info->backColourErase, expected->backColourErase) << what;
            EXPECT_EQ(info->alternateScreen, expected->alternateScreen) << what;
        }
    }
}

} // namespace
