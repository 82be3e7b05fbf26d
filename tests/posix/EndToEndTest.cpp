// The real game in an 80 x 25 tmux pane: after each key tap the pane must show what the replay
// runner shows for the same taps, and the terminal's settings must be as before when the game
// has ended (quit, SIGTERM). Waits poll the pane with generous deadlines.
#include "AsciicastPlayer.h"
#include "GameDirectory.h"
#include "TerminalEmulator.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto deadline = 15s;

std::string quote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Lines without trailing blanks, trailing empty lines dropped, the panel's clock masked.
std::string normalised(const std::string& screen) {
    std::istringstream in(screen);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        line.erase(line.find_last_not_of(' ') + 1);
        lines.push_back(
            std::regex_replace(line, std::regex("[0-9]{2}:[0-9]{2}:[0-9]{2}"), "##:##:##"));
    }
    while (!lines.empty() && lines.back().empty()) {
        lines.pop_back();
    }
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

class TmuxGame : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("tmux -V > /dev/null 2>&1") != 0) {
            GTEST_SKIP() << "tmux is not installed";
        }
        std::random_device random;
        socket = "tharvok-e2e-" + std::to_string(random());
        work = fs::temp_directory_path() / socket;
        fs::create_directories(work);
        game = posixtest::gameDirectory();
    }
    void TearDown() override {
        if (!socket.empty()) {
            tmux("kill-server");
            std::error_code error;
            fs::remove_all(work, error);
        }
    }

    int tmux(const std::string& args) {
        return std::system(
            ("LC_ALL=C.UTF-8 tmux -u -f /dev/null -L " + socket + " " + args + " > /dev/null 2>&1")
                .c_str());
    }

    // Starts the game in a pane of the given size: the shell notes the terminal's settings, the
    // game's process id and exit status, and the settings afterwards. With job control the game
    // can be stopped (Ctrl-Z): the shell then notes the settings, marks "stopped" and brings the
    // game back with fg once the test makes a file "resume". (Without it a shell that sees its
    // job die of Ctrl-C would die of it too, before noting the status.)
    void start(int columns = 80, int rows = 25, bool jobControl = false,
               const std::string& arguments = "") {
        const std::string script =
            // The shell outlives a game that dies of Ctrl-C (it would die of it too, untrapped).
            std::string("trap : INT; stty -a > before; ") + (jobControl ? "set -m; " : "") +
            "sh -c " +
            quote("echo $$ > pid; cd " + quote(game.string()) + " && exec " + quote(THARVOK_EXE) +
                  arguments) +
            "; s=$?; while [ $s -eq 148 ]; do stty -a > suspended; : > stopped; "
            "while [ ! -f resume ]; do sleep 0.02; done; rm -f resume; fg > /dev/null; s=$?; done; "
            "echo $s > status.tmp; stty -a > after; mv status.tmp status; exec sleep 600";
        const std::string command = "exec bash --norc --noprofile -c " + quote(script);
        ASSERT_EQ(tmux("new-session -d -s game -x " + std::to_string(columns) + " -y " +
                       std::to_string(rows) + " -c " + quote(work.string()) + " " + quote(command)),
                  0);
    }

    // What a tmux command prints.
    std::string tmuxOutput(const std::string& args) {
        const fs::path file = work / "tmux-output";
        std::system(("LC_ALL=C.UTF-8 tmux -u -L " + socket + " " + args + " > " +
                     quote(file.string()) + " 2> /dev/null")
                        .c_str());
        return readFile(file);
    }

    std::string capture() { return tmuxOutput("capture-pane -p -t game"); }

    // Polls the pane until it contains every one of `parts`; what it showed last.
    std::string waitForText(const std::vector<std::string>& parts) {
        const auto end = std::chrono::steady_clock::now() + deadline;
        std::string shown;
        do {
            shown = capture();
            bool all = true;
            for (const std::string& part : parts) {
                all = all && shown.find(part) != std::string::npos;
            }
            if (all) {
                break;
            }
            std::this_thread::sleep_for(20ms);
        } while (std::chrono::steady_clock::now() < end);
        return shown;
    }

    // What the replay runner shows after the taps: each tap is one frame down, one frame up.
    std::string expected(const std::vector<std::string>& taps) {
        std::string script = "frame 16\n";
        for (const std::string& key : taps) {
            script += "frame 16 " + key + "\nframe 16\n";
        }
        script += "screen\n";
        const fs::path scriptFile = work / "script";
        const fs::path out = work / "expected";
        std::ofstream(scriptFile) << script;
        std::system((quote(THARVOK_REPLAY_EXE) + " --dir " + quote(game.string()) + " --out " +
                     quote(out.string()) + " " + quote(scriptFile.string()))
                        .c_str());
        return placed(normalised(readFile(out)));
    }

    // The rows of `screen` a pane of `viewRows` shows, the view at its top or lower: the rows the
    // pane shows now when they are some of them, else the top ones.
    std::string inView(const std::string& screen, const std::string& shown) const {
        std::vector<std::string> lines;
        std::istringstream in(screen);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        lines.resize(25);
        std::string top;
        for (int first = 25 - viewRows; first >= 0; --first) {
            std::string rows;
            for (int y = first; y < first + viewRows; ++y) {
                rows += lines[static_cast<std::size_t>(y)] + "\n";
            }
            top = normalised(rows);
            if (top == shown) {
                break;
            }
        }
        return top;
    }

    // A screen as a pane larger than 80 x 25 shows it: centred.
    std::string placed(const std::string& screen) const {
        std::string text(static_cast<std::size_t>(offsetY), '\n');
        std::istringstream in(screen);
        for (std::string line; std::getline(in, line);) {
            text += (line.empty() ? "" : std::string(static_cast<std::size_t>(offsetX), ' ')) +
                    line + "\n";
        }
        return text;
    }

    // Polls the pane until it shows `want` or the deadline passes; what it showed last.
    std::string waitForScreen(const std::string& want) {
        const auto end = std::chrono::steady_clock::now() + deadline;
        std::string shown;
        do {
            shown = normalised(capture());
            if (shown == (viewRows == 0 ? want : inView(want, shown))) {
                break;
            }
            std::this_thread::sleep_for(20ms);
        } while (std::chrono::steady_clock::now() < end);
        return viewRows == 0 || shown != inView(want, shown) ? shown : want;
    }

    bool waitForFile(const fs::path& path) {
        const auto end = std::chrono::steady_clock::now() + deadline;
        while (!fs::exists(path)) {
            if (std::chrono::steady_clock::now() > end) {
                return false;
            }
            std::this_thread::sleep_for(20ms);
        }
        return true;
    }

    // Taps the keys one by one, each time checking the pane against the replay. Taps of one key
    // come at least 150 ms apart, as a finger's do: strokes closer than that are the terminal's
    // auto-repeat of a held key. The time counts from when the pane showed the last tap, so that
    // a busy machine that was slow to deliver one cannot bring the next one too close to it.
    void tapAndCompare(std::vector<std::string>& taps, const std::vector<std::string>& keys) {
        for (const std::string& key : keys) {
            if (!taps.empty() && taps.back() == key) {
                std::this_thread::sleep_until(lastTap + 150ms);
            }
            taps.push_back(key);
            std::string tmuxKey = key == "ESC"     ? "Escape"
                                  : key == "ENTER" ? "Enter"
                                  : key == "TAB"   ? "Tab"
                                  : key == "UP"    ? "Up"
                                  : key == "DOWN"  ? "Down"
                                  : key == "LEFT"  ? "Left"
                                  : key == "RIGHT" ? "Right"
                                                   : key;
            ASSERT_EQ(tmux("send-keys -t game " + tmuxKey), 0);
            const std::string want = expected(taps);
            ASSERT_EQ(waitForScreen(want), want) << "after tapping " << key;
            lastTap = std::chrono::steady_clock::now();
        }
    }

    int exitStatus() {
        EXPECT_TRUE(waitForFile(work / "status")) << "the game did not end";
        return std::atoi(readFile(work / "status").c_str());
    }

    void expectTerminalSettingsRestored() {
        const std::string before = readFile(work / "before");
        EXPECT_FALSE(before.empty());
        EXPECT_EQ(readFile(work / "after"), before);
    }

    // Holds Tab (as auto-repeat sends it) until the status panel shows the time of day; that time
    // in seconds, and when it was seen.
    std::pair<int, std::chrono::steady_clock::time_point> readPanelClock() {
        const std::regex time("([0-9]{2}):([0-9]{2}):([0-9]{2})");
        const auto end = std::chrono::steady_clock::now() + deadline;
        std::smatch match;
        std::string shown;
        while (std::chrono::steady_clock::now() < end) {
            tmux("send-keys -t game Tab");
            shown = capture();
            if (std::regex_search(shown, match, time)) {
                return {std::stoi(match[1]) * 3600 + std::stoi(match[2]) * 60 + std::stoi(match[3]),
                        std::chrono::steady_clock::now()};
            }
        }
        ADD_FAILURE() << "no panel: " << shown;
        return {};
    }

    std::string socket;
    int offsetX = 0; // where the screen is expected in the pane
    int offsetY = 0;
    std::chrono::steady_clock::time_point lastTap;
    int viewRows = 0; // a pane of fewer rows than the screen: the rows of it in view
    fs::path work;
    fs::path game;
};

TEST_F(TmuxGame, TapsMatchTheReplayAndQuittingLeavesTheFarewell) {
    start();
    std::vector<std::string> taps;
    const std::string menu = expected(taps);
    ASSERT_EQ(waitForScreen(menu), menu);
    tapAndCompare(taps, {"DOWN", "DOWN", "UP", "UP", "ENTER"});
    tapAndCompare(taps, {"RIGHT", "RIGHT", "DOWN", "LEFT", "UP", "TAB", "E", "ESC"});
    // Back in the menu: up wraps round to Exit, Enter there quits.
    tapAndCompare(taps, {"UP"});
    ASSERT_EQ(tmux("send-keys -t game Enter"), 0);
    EXPECT_EQ(exitStatus(), 0);
    expectTerminalSettingsRestored();
    EXPECT_NE(
        capture().find("Shutdown game ... if you can read this you should upgrade your pc ;)"),
        std::string::npos)
        << capture();
}

TEST_F(TmuxGame, AutoRepeatedTabHoldsThePanelOpen) {
    start();
    std::vector<std::string> taps;
    const std::string menu = expected(taps);
    ASSERT_EQ(waitForScreen(menu), menu);
    tapAndCompare(taps, {"ENTER"});
    const std::string map = expected(taps);
    // Tab as a terminal's auto-repeat sends it while the key is held, until the panel shows.
    std::string script = "frame 16\nframe 16 ENTER\nframe 16\nframe 16 TAB\nscreen\n";
    std::ofstream(work / "held") << script;
    std::system((quote(THARVOK_REPLAY_EXE) + " --dir " + quote(game.string()) + " --out " +
                 quote((work / "panel").string()) + " " + quote((work / "held").string()))
                    .c_str());
    const std::string panel = normalised(readFile(work / "panel"));
    const auto end = std::chrono::steady_clock::now() + deadline;
    std::string shown;
    while (std::chrono::steady_clock::now() < end) {
        tmux("send-keys -t game Tab");
        shown = normalised(capture());
        if (shown == panel) {
            break;
        }
    }
    EXPECT_EQ(shown, panel);
    // Let go: the panel closes once the repeats stop.
    EXPECT_EQ(waitForScreen(map), map);
}

// A game recorded with --record, ended at once with Ctrl-C, plays back (with tharvok-replay) to the
// very screen the terminal showed last, and its terminal recording plays to it too.
TEST_F(TmuxGame, ARecordedGameReplaysToTheScreenShownLast) {
    // A field with a bridge to a second world two steps east of the start.
    const fs::path data = work / "data";
    const std::string home(startWorldStem);
    const std::string other = "0d0d0d0d0d0d0d0d0d0d0d0d0d0d0d0d";
    fs::create_directories(data / "bin" / "world");
    std::string field;
    for (int y = 0; y < 25; ++y) {
        std::string row(80, '.');
        if (y == 12) {
            row[42] = '-';
        }
        field += row + "\n";
    }
    std::ofstream(data / "bin" / "world" / (home + ".wgf")) << field;
    std::ofstream(data / "bin" / "world" / (home + ".wif"))
        << "A field 1\nBridge " << other << " 42 12 5 5\n";
    std::ofstream(data / "bin" / "world" / (other + ".wgf")) << std::string(81 * 25, ',');
    std::ofstream(data / "bin" / "world" / (other + ".wif")) << "Far side 0\n";
    fs::copy_file(fs::path(THARVOK_SOURCE_DIR) / "data" / "config.ini", data / "config.ini");
    const fs::path recording = work / "walk.replay";
    game = data;
    start(80, 25, false,
          " --data " + quote(data.string()) + " --record " + quote(recording.string()));
    waitForText({"New Game"});
    // Taps, the bridge and the use key, a held key (as auto-repeat sends it), the panel held.
    for (const char* key : {"Enter", "Right", "Right", "e"}) {
        tmux(std::string("send-keys -t game ") + key);
        std::this_thread::sleep_for(200ms);
    }
    for (const char* held : {"Down", "Tab"}) {
        for (int repeat = 0; repeat < 12; ++repeat) {
            tmux(std::string("send-keys -t game ") + held);
            std::this_thread::sleep_for(30ms);
        }
        std::this_thread::sleep_for(400ms);
    }
    const std::string last = normalised(capture());
    EXPECT_NE(last.find(",,,"), std::string::npos) << "not on the far side:\n" << last;
    tmux("send-keys -t game C-c");
    EXPECT_EQ(exitStatus(), 130);

    std::ofstream(work / "replay") << readFile(recording) << "screen\n";
    const fs::path cast = work / "walk.cast";
    const std::string replayed = work.string() + "/replayed";
    EXPECT_EQ(std::system((quote(THARVOK_REPLAY_EXE) + " --dir " + quote(data.string()) +
                           " --asciicast " + quote(cast.string()) + " --out " + quote(replayed) +
                           " " + quote((work / "replay").string()))
                              .c_str()),
              0);
    EXPECT_EQ(normalised(readFile(replayed)), last);
    posixtest::TerminalEmulator term(80, 25);
    EXPECT_EQ(posixtest::playAsciicast(cast, term), "");
    const std::string played = posixtest::screenText(term);
    EXPECT_EQ(normalised(played), last);
}

TEST_F(TmuxGame, ARecordingThatCannotBeWrittenStopsTheStart) {
    start(80, 25, false, " --record /nonexistent-folder/walk.replay");
    EXPECT_EQ(exitStatus(), 1);
    EXPECT_NE(waitForText({"cannot write the recording"}).find("/nonexistent-folder/walk.replay"),
              std::string::npos);
}

TEST_F(TmuxGame, SigtermRestoresTheTerminal) {
    start();
    const std::string menu = expected({});
    ASSERT_EQ(waitForScreen(menu), menu);
    ASSERT_TRUE(waitForFile(work / "pid"));
    const std::string pid = std::to_string(std::atoi(readFile(work / "pid").c_str()));
    ASSERT_EQ(std::system(("kill -TERM " + pid).c_str()), 0);
    EXPECT_EQ(exitStatus(), 143);
    expectTerminalSettingsRestored();
    // Back on the normal screen: the menu is gone.
    EXPECT_EQ(capture().find("New Game"), std::string::npos);
}

TEST_F(TmuxGame, BehindTheTooSmallNoticeKeysAndTimeStandStill) {
    start();
    std::vector<std::string> taps;
    ASSERT_EQ(waitForScreen(expected(taps)), expected(taps));
    tapAndCompare(taps, {"ENTER", "RIGHT"});
    const auto [before, beforeSeen] = readPanelClock();
    ASSERT_EQ(tmux("resize-window -t game -x 39 -y 20"), 0);
    const std::string notice = waitForText({"39 x 20", "40 x 12"});
    const auto noticeSeen = std::chrono::steady_clock::now();
    EXPECT_NE(notice.find("39 x 20"), std::string::npos) << notice;
    EXPECT_NE(notice.find("40 x 12"), std::string::npos) << notice;
    EXPECT_EQ(notice.find(";;;;;;;;"), std::string::npos) << "the map is still shown";
    // Taps behind the notice do not count, not even Escape, which would leave play.
    tmux("send-keys -t game Down");
    tmux("send-keys -t game Escape");
    std::this_thread::sleep_until(noticeSeen + 4s);
    ASSERT_EQ(tmux("resize-window -t game -x 80 -y 25"), 0);
    const std::string map = expected(taps);
    EXPECT_EQ(waitForScreen(map), map);
    // The day clock stood still for the 4 s the notice was seen at least: it shows whole
    // seconds (a reading may be up to one behind), and the pane may be a little late.
    const auto [after, afterSeen] = readPanelClock();
    const int played = (after - before + 86400) % 86400;
    const auto passedMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(afterSeen - beforeSeen).count();
    EXPECT_LE(played * 1000, passedMs - 2000) << "the clock ran behind the notice";
}

TEST_F(TmuxGame, ALargerPaneShowsTheScreenCentred) {
    start(101, 31);
    offsetX = 10;
    offsetY = 3;
    std::vector<std::string> taps;
    ASSERT_EQ(waitForScreen(expected(taps)), expected(taps));
    tapAndCompare(taps, {"ENTER", "RIGHT", "DOWN"});
    // Made larger still, the screen moves to the new centre.
    ASSERT_EQ(tmux("resize-window -t game -x 120 -y 26"), 0);
    offsetX = 20;
    offsetY = 0;
    const std::string map = expected(taps);
    EXPECT_EQ(waitForScreen(map), map);
    tapAndCompare(taps, {"LEFT", "UP"});
}

TEST_F(TmuxGame, SuspendGivesTheTerminalBackAndResumeRepaints) {
    start(80, 25, true);
    std::vector<std::string> taps;
    ASSERT_EQ(waitForScreen(expected(taps)), expected(taps));
    tapAndCompare(taps, {"ENTER", "LEFT"});
    ASSERT_EQ(tmux("send-keys -t game C-z"), 0);
    // Stopped: the terminal has its own settings back, and the normal screen shows.
    ASSERT_TRUE(waitForFile(work / "stopped"));
    EXPECT_EQ(readFile(work / "suspended"), readFile(work / "before"));
    EXPECT_EQ(capture().find(";;;;;;;;"), std::string::npos) << "the map is still shown";
    std::ofstream(work / "resume").close();
    const std::string map = expected(taps);
    EXPECT_EQ(waitForScreen(map), map);
    tapAndCompare(taps, {"UP"});
}

TEST_F(TmuxGame, FailedStartLeavesItsMessageOnTheNormalScreen) {
    game = work / "no-worlds";
    fs::create_directories(game);
    const std::string message = expected({});
    ASSERT_FALSE(message.empty());
    // Only there: elsewhere the game would find the worlds beside its executable.
    start(80, 25, false, " --data " + quote(game.string()));
    EXPECT_EQ(exitStatus(), 1);
    expectTerminalSettingsRestored();
    const std::string shown = waitForText({message.substr(0, message.find('\n'))});
    EXPECT_NE(shown.find(message.substr(0, message.find('\n'))), std::string::npos) << shown;
}

TEST_F(TmuxGame, TooSmallTerminalIsRefusedWithTheSizes) {
    start(39, 11);
    EXPECT_EQ(exitStatus(), 1);
    expectTerminalSettingsRestored();
    const std::string shown = capture();
    EXPECT_NE(shown.find("39 x 11"), std::string::npos) << shown;
    EXPECT_NE(shown.find("40 x 12"), std::string::npos) << shown;
}

TEST_F(TmuxGame, An80x24PaneShowsAViewThatFollowsThePlayer) {
    start(80, 24);
    viewRows = 24;
    std::vector<std::string> taps;
    ASSERT_EQ(waitForScreen(expected(taps)), expected(taps)) << "the menu is in view";
    std::vector<std::string> keys = {"ENTER"};
    keys.insert(keys.end(), 12, "DOWN");
    keys.insert(keys.end(), 12, "UP");
    tapAndCompare(taps, keys);
    EXPECT_NE(capture().find("\u263B"), std::string::npos) << "the player is in view";
}

} // namespace
