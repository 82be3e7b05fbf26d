// The replay runner's terminal recording: valid asciicast v2, and its bytes, played on the test
// terminal, end on the screen the replay ends on (glyphs and colours), with the cursor shown.
#include "AsciicastPlayer.h"
#include "Replay.h"
#include "TerminalEmulator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// Console colour (1 blue, 2 green, 4 red, 8 bright) to the SGR foreground it is shown in.
constexpr int sgrForeground[16] = {30, 34, 32, 36, 31, 35, 33, 37, 90, 94, 92, 96, 91, 95, 93, 97};

TEST(Asciicast, PlaysToTheScreenTheReplayEndsOn) {
    const fs::path world = fs::path(THARVOK_SOURCE_DIR) / "tests" / "golden" / "worlds" / "play";
    const fs::path cast = fs::temp_directory_path() / "tharvok-asciicast-test.cast";
    // A walk onto a link with its caption, the status panel held, a step more.
    std::istringstream script("local-time 09:05:03\n"
                              "frame 16 ENTER\nframe 16\nframe 16 LEFT\nframe 16\n"
                              "frame 16 UP\nframes 30 16 UP\nframe 16\n"
                              "frame 16 TAB\nframes 70 16 TAB\nframe 16\nframe 16 RIGHT\nframe 16\n"
                              "screen\nattrs\n");
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(replay::replayMain({"--dir", world.string(), "--asciicast", cast.string()}, script,
                                 out, err),
              0)
        << err.str();
    std::ifstream file(cast, std::ios::binary);
    std::string last;
    for (std::string line; std::getline(file, line);) {
        last = line;
    }
    posixtest::TerminalEmulator term(80, 25);
    const std::string problem = posixtest::playAsciicast(cast, term);
    fs::remove(cast);
    ASSERT_EQ(problem, "");
    EXPECT_TRUE(term.unknown().empty()) << term.unknown().front();
    // The script ran out in play, with the cursor hidden: the recording still ends as the game
    // leaves a terminal, colours reset and the cursor shown.
    EXPECT_NE(last.find("\\u001b[0m\\u001b[?25h\"]"), std::string::npos) << last;
    EXPECT_TRUE(term.cursorVisible());

    // The replay prints the screen's 25 rows, then their colours.
    EXPECT_EQ(out.str().substr(0, posixtest::screenText(term).size()), posixtest::screenText(term));
    std::istringstream printed(out.str());
    std::string line;
    for (int y = 0; y < 25; ++y) {
        ASSERT_TRUE(std::getline(printed, line));
    }
    for (int y = 0; y < 25; ++y) {
        ASSERT_TRUE(std::getline(printed, line));
        for (int x = 0; x < 80; ++x) {
            const int colour = std::stoi(line.substr(static_cast<std::size_t>(x), 1), nullptr, 16);
            if (term.at(x, y).ch != U' ') {
                ASSERT_EQ(term.at(x, y).foreground, sgrForeground[colour]) << x << "," << y;
            }
        }
    }
}

} // namespace
