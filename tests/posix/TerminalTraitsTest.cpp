// What the game makes of a terminal from what it says of itself: TERM and its terminfo entry,
// the variables terminals set, the locale.
#include "platform/posix/TerminalTraits.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>

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

} // namespace
