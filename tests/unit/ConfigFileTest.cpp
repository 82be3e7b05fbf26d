// config.ini as the game reads it: which lines give which entries, and what the two kinds of
// lookup make of a value.
#include "GameHarness.h"

#include <gtest/gtest.h>

#include <limits>

using harness::configEntries;
using Entries = std::map<std::string, std::string>;

namespace {

// The configuration read from the config.ini of `dir` (none there: nothing read).
ConfigFile configIn(const harness::fs::path& dir) {
    ConfigFile config;
    config.load(dir / configFileName);
    return config;
}

// Looks up `key` in a config.ini holding `text`, in the character form.
char charValue(std::string_view text, const std::string& key, char fallback = '?') {
    harness::ScratchDir dir;
    dir.writeConfig(text);
    return configIn(dir.path()).get(key, fallback);
}

// Looks up `key` in a config.ini holding `text`, in the number form.
std::int32_t numberValue(std::string_view text, const std::string& key,
                         std::int32_t fallback = -7) {
    harness::ScratchDir dir;
    dir.writeConfig(text);
    return configIn(dir.path()).get(key, fallback);
}

} // namespace

TEST(ConfigFile, NoFileGivesNoEntriesAndEveryLookupItsFallback) {
    harness::ScratchDir dir;
    const ConfigFile config = configIn(dir.path());
    EXPECT_TRUE(config.entries.empty());
    EXPECT_EQ(config.get("cMoveUp", 'q'), 'q');
    EXPECT_EQ(config.get("cSelect", std::int32_t{42}), 42);
}

TEST(ConfigFile, UnreadableConfigIniIsLikeNone) {
    // A config.ini that opens but cannot be read stops nothing: only Escape is bound.
    harness::ScratchDir dir;
    harness::fs::create_directories(dir.path() / "config.ini");
    EXPECT_TRUE(configIn(dir.path()).entries.empty());
#if defined(__linux__)
    // Reading this file fails with an input/output error.
    harness::ScratchDir failing;
    harness::fs::create_symlink("/proc/self/mem", failing.path() / "config.ini");
    EXPECT_TRUE(configIn(failing.path()).entries.empty());
#endif
}

TEST(ConfigFile, CommentsSectionsAndEmptyLinesGiveNothing) {
    EXPECT_TRUE(configEntries("").empty());
    EXPECT_TRUE(configEntries("\n\n\r\n").empty());
    EXPECT_TRUE(configEntries("# cMoveUp = W\n[keys]\n\n#=\n[a = b]\n").empty());
}

TEST(ConfigFile, BlanksAroundTheEqualsSignAndAtTheEndsAreTrimmed) {
    EXPECT_EQ(configEntries("  cMoveUp   =   W  \n"), (Entries{{"cMoveUp", "W"}}));
    EXPECT_EQ(configEntries("cMoveUp=W\n"), (Entries{{"cMoveUp", "W"}}));
    // Blanks inside the key and the value stay.
    EXPECT_EQ(configEntries("my key = two words \n"), (Entries{{"my key", "two words"}}));
}

TEST(ConfigFile, TabsAreNotTrimmed) {
    // A tab next to the = stays in the key, so the bare name is not found.
    const Entries tabbedKey = configEntries("cMoveUp\t= W\n");
    EXPECT_EQ(tabbedKey, (Entries{{"cMoveUp\t", "W"}}));
    EXPECT_EQ(charValue("cMoveUp\t= W\n", "cMoveUp"), '?');
    // A tab after the = stays in the value; the lookups skip it as whitespace.
    EXPECT_EQ(configEntries("cMoveUp =\tW\t\n"), (Entries{{"cMoveUp", "\tW\t"}}));
    EXPECT_EQ(charValue("cMoveUp =\t\tw\n", "cMoveUp"), 'w');
    EXPECT_EQ(numberValue("cSelect =\t13\n", "cSelect"), 13);
}

TEST(ConfigFile, FirstLineNamingAKeyWinsWhateverSectionsStandBetween) {
    const std::string text = "[movement]\ncMoveUp = W\n[other]\ncMoveUp = S\ncMoveUp = X\n";
    EXPECT_EQ(configEntries(text), (Entries{{"cMoveUp", "W"}}));
    EXPECT_EQ(charValue(text, "cMoveUp"), 'W');
    // A line skipped for a missing key does not block a later one.
    EXPECT_EQ(configEntries(" = W\ncMoveUp\ncMoveUp = S\n"), (Entries{{"cMoveUp", "S"}}));
}

TEST(ConfigFile, LineEndsLfCrLfAndNoFinalLineFeedReadAlike) {
    const Entries expected{{"a", "1"}, {"b", "2"}, {"c", "x y"}};
    EXPECT_EQ(configEntries("a = 1\nb = 2\nc = x y\n"), expected);
    EXPECT_EQ(configEntries("a = 1\r\nb = 2\r\nc = x y\r\n"), expected);
    EXPECT_EQ(configEntries("a = 1\r\nb = 2\nc = x y"), expected);
    // Comments and section headers with CR LF are still recognised.
    EXPECT_EQ(configEntries("# note\r\n[keys]\r\na = 1\r\n"), (Entries{{"a", "1"}}));
    // A carriage return not followed by a line feed is an ordinary byte.
    EXPECT_EQ(configEntries("a = 1\rb = 2\n"), (Entries{{"a", "1\rb = 2"}}));
    EXPECT_EQ(configEntries("a = 1\r"), (Entries{{"a", "1\r"}}));
}

TEST(ConfigFile, ByteOrderMarkBelongsToTheFirstLine) {
    const std::string bom = "\xEF\xBB\xBF";
    EXPECT_EQ(configEntries(bom + "cMoveUp = W\ncMoveDown = S\n"),
              (Entries{{bom + "cMoveUp", "W"}, {"cMoveDown", "S"}}));
    EXPECT_EQ(charValue(bom + "cMoveUp = W\n", "cMoveUp"), '?');
    // Neither a comment nor a section header any more.
    EXPECT_EQ(configEntries(bom + "# a = 1\n"), (Entries{{bom + "# a", "1"}}));
    EXPECT_EQ(configEntries(bom + "[keys]\nb = 2\n"), (Entries{{"b", "2"}}));
}

TEST(ConfigFile, KeysAreCaseSensitive) {
    const std::string text = "cmoveup = W\nCMOVEUP = X\n";
    EXPECT_EQ(configEntries(text).size(), 2u);
    EXPECT_EQ(charValue(text, "cMoveUp"), '?');
    EXPECT_EQ(charValue(text, "cmoveup"), 'W');
}

TEST(ConfigFile, OnlyTheFirstByteMakesACommentOrASection) {
    // A blank before "#" or "[" makes an entry line whose key keeps the "#" or "[".
    EXPECT_EQ(configEntries(" # cMoveUp = W\n"), (Entries{{"# cMoveUp", "W"}}));
    EXPECT_EQ(configEntries(" [x] = 1\n"), (Entries{{"[x]", "1"}}));
}

TEST(ConfigFile, EqualsAndHashInsideAValueStay) {
    EXPECT_EQ(configEntries("a = b = c\n"), (Entries{{"a", "b = c"}}));
    EXPECT_EQ(configEntries("a = 13 # Enter\n"), (Entries{{"a", "13 # Enter"}}));
    EXPECT_EQ(configEntries("a = #\n"), (Entries{{"a", "#"}}));
    EXPECT_EQ(configEntries("a==\n"), (Entries{{"a", "="}}));
    EXPECT_EQ(numberValue("cSelect = 13 # Enter\n", "cSelect"), 13);
    EXPECT_EQ(charValue("cUse = #\n", "cUse"), '#');
}

TEST(ConfigFile, LinesWithoutAKeyAreSkipped) {
    // No "=", only blanks, an empty key or a key of blanks: nothing is stored, and reading goes on.
    EXPECT_TRUE(configEntries("cMoveUp\n   \nW\n= W\n   = W\n\t\n").empty());
    EXPECT_EQ(configEntries("cMoveUp\n= X\ncMoveUp = W\n"), (Entries{{"cMoveUp", "W"}}));
    // A tab is not a blank: a key made of a tab is a key.
    EXPECT_EQ(configEntries("\t= W\n"), (Entries{{"\t", "W"}}));
}

TEST(ConfigFile, EmptyAndBlankValuesAreStoredEmpty) {
    EXPECT_EQ(configEntries("a =\nb =    \nc = \r\n"), (Entries{{"a", ""}, {"b", ""}, {"c", ""}}));
    EXPECT_EQ(charValue("a =   \n", "a"), '?');
    EXPECT_EQ(numberValue("a =   \n", "a"), -7);
    // Whitespace other than blanks stays in the value but gives nothing to read.
    EXPECT_EQ(charValue("a = \t\v\f \n", "a"), '?');
    EXPECT_EQ(numberValue("a = \t\t\n", "a"), -7);
}

TEST(ConfigFile, SubstituteByteIsAnOrdinaryByte) {
    // Byte 26 ends neither the line nor the file.
    const std::string text = std::string("\x1A\ncMoveUp = \x1A\ncMoveDown = S\n");
    EXPECT_EQ(configEntries(text), (Entries{{"cMoveUp", "\x1A"}, {"cMoveDown", "S"}}));
    EXPECT_EQ(charValue(text, "cMoveUp"), '\x1A');
}

TEST(ConfigFile, CharacterFormReadsTheFirstByteAfterWhitespace) {
    EXPECT_EQ(charValue("k = Up\n", "k"), 'U');
    EXPECT_EQ(charValue("k = w\n", "k"), 'w');
    EXPECT_EQ(charValue("k = 8\n", "k"), '8');
    EXPECT_EQ(charValue("k =\t\t x\n", "k"), 'x');
    EXPECT_EQ(charValue("k = \xE9t\xE9\n", "k"), '\xE9');
    EXPECT_EQ(charValue("other = w\n", "k"), '?');
}

TEST(ConfigFile, NumberFormReadsALeadingDecimalNumber) {
    EXPECT_EQ(numberValue("k = 13\n", "k"), 13);
    EXPECT_EQ(numberValue("k = 13 junk\n", "k"), 13);
    EXPECT_EQ(numberValue("k = 13junk\n", "k"), 13);
    EXPECT_EQ(numberValue("k = +13\n", "k"), 13);
    EXPECT_EQ(numberValue("k = 0013\n", "k"), 13);
    EXPECT_EQ(numberValue("k = 000000000000000000000013\n", "k"), 13);
    EXPECT_EQ(numberValue("k = -1\n", "k"), -1);
    EXPECT_EQ(numberValue("k = 0x1F\n", "k"), 0);
    EXPECT_EQ(numberValue("k = 017\n", "k"), 17);
    EXPECT_EQ(numberValue("k = 1 3\n", "k"), 1);
}

TEST(ConfigFile, NumberFormWithoutANumberGivesTheFallback) {
    EXPECT_EQ(numberValue("k = junk\n", "k"), -7);
    EXPECT_EQ(numberValue("k = +\n", "k"), -7);
    EXPECT_EQ(numberValue("k = -\n", "k"), -7);
    EXPECT_EQ(numberValue("k = + 13\n", "k"), -7);
    EXPECT_EQ(numberValue("k = ++13\n", "k"), -7);
    EXPECT_EQ(numberValue("k = x13\n", "k"), -7);
}

TEST(ConfigFile, NumberFormHoldsExactlyTheSigned32BitRange) {
    constexpr auto max = std::numeric_limits<std::int32_t>::max();
    constexpr auto min = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(numberValue("k = 2147483647\n", "k"), max);
    EXPECT_EQ(numberValue("k = -2147483648\n", "k"), min);
    EXPECT_EQ(numberValue("k = 2147483648\n", "k"), -7);
    EXPECT_EQ(numberValue("k = -2147483649\n", "k"), -7);
    EXPECT_EQ(numberValue("k = 4294967309\n", "k"), -7); // 2^32 + 13 must not wrap to 13
    EXPECT_EQ(numberValue("k = 99999999999999999999999999\n", "k"), -7);
}
