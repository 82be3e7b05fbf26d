// The replay runner's command line and script language: what a user, a bug report or a world
// author can write, and the errors they get for what they cannot.
#include "Replay.h"
#include "headless/HeadlessGame.h"
#include "platform/OutputFile.h"
#include "platform/ScreenText.h"
#include "platform/VirtualKeys.h"
#include "replay/Recorder.h"
#include "replay/Script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string playWorld = (fs::path(THARVOK_TESTS_DIR) / "golden" / "worlds" / "play").string();

struct ReplayRun {
    int status = 0;
    std::string out;
    std::string err;
};

ReplayRun runReplay(const std::vector<std::string>& args, const std::string& script = "") {
    std::istringstream in(script);
    std::ostringstream out;
    std::ostringstream err;
    ReplayRun run;
    run.status = replay::replayMain(args, in, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

TEST(Replay, KeyNames) {
    EXPECT_EQ(platform::vk::fromName("a"), 65);
    EXPECT_EQ(platform::vk::fromName("Z"), 90);
    EXPECT_EQ(platform::vk::fromName("7"), 55);
    EXPECT_EQ(platform::vk::fromName("ESC"), 27);
    EXPECT_EQ(platform::vk::fromName("ENTER"), 13);
    EXPECT_EQ(platform::vk::fromName("LBUTTON"), 1);
    EXPECT_EQ(platform::vk::fromName("F1"), 112);
    EXPECT_EQ(platform::vk::fromName("F12"), 123);
    EXPECT_EQ(platform::vk::fromName("VK112"), 112);
    EXPECT_EQ(platform::vk::fromName("VK255"), 255);
    for (const char* bad :
         {"F0", "F13", "F+1", "VK0", "VK256", "VK", "VK-1", "esc", "Up", "?", ""}) {
        EXPECT_EQ(platform::vk::fromName(bad), -1) << bad;
    }
    // Names and codes go both ways.
    for (int code = 1; code < 256; ++code) {
        EXPECT_EQ(platform::vk::fromName(platform::vk::name(code)), code);
    }
}

TEST(Replay, ALocalTimeLineSetsTheTimeTheGameStartsAt) {
    const ReplayRun run = runReplay(
        {"--dir", playWorld},
        "# recorded\nlocal-time 09:05:03\nframe 16 ENTER\nframe 16\nframe 16 TAB\nscreen\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("09:05:03"), std::string::npos) << run.out;
}

TEST(Replay, MalformedLinesAreRefusedBeforeAnythingRunsAndNamed) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"screen\nframe\n", "line 2: 'frame' needs milliseconds"},
        {"frame x\n", "line 1: bad milliseconds 'x' (from -1000000000000 to 1000000000000)"},
        {"\n# fine\nframes 2\n", "line 3: 'frames' needs a count and milliseconds"},
        {"frames -1 16\n", "line 1: bad frame count '-1' (from 0 to 10000000)"},
        {"frames 10000001 16\n", "line 1: bad frame count '10000001' (from 0 to 10000000)"},
        {"frame 16 HOME\n", "line 1: unknown key 'HOME'"},
        {"Screen\n", "line 1: unknown command 'Screen'"},
        {"screen now\n", "line 1: 'screen' takes no arguments"},
        {"cursor\r\nwait 5\r\n", "line 2: unknown command 'wait'"},
        {"local-time 9:05\n", "line 1: 'local-time' takes HH:MM:SS"},
        {"local-time 23:59:60\n", "line 1: 'local-time' takes HH:MM:SS"},
        {"frame 16\nlocal-time 09:05:03\n", "line 2: 'local-time' comes before the first frame"},
        {"svg a\x1f"
         "b\n",
         "line 1: 'svg' takes one name, without '/' or '\\'"},
        {"svg a\x7f"
         "b\n",
         "line 1: 'svg' takes one name, without '/' or '\\'"},
        {"data a\\x4\n", "line 1: 'data' takes a path (\\\\ and \\xHH escapes)"},
        {"data a\\xzz\n", "line 1: 'data' takes a path (\\\\ and \\xHH escapes)"},
        {"data\n", "line 1: 'data' takes one path"},
        {"config none\nconfig none\n", "line 2: a second 'config' line"},
        {"world a 1 0123456789abcde\n",
         "line 1: 'world' takes a path, then its size in bytes and 16 hexadecimal digits, or "
         "'missing'"},
        {"world a 12\n",
         "line 1: 'world' takes a path, then its size in bytes and 16 hexadecimal digits, or "
         "'missing'"},
        {"frame 16" + std::string(4089, ' ') + "\n", "line 1: longer than 4096 bytes"},
        {"click 79 25\n", "line 1: 'click' takes a screen cell: X from 0 to 79, Y from 0 to 24"},
        {"click -1 0\n", "line 1: 'click' takes a screen cell: X from 0 to 79, Y from 0 to 24"},
        {"click 4\n", "line 1: 'click' takes a screen cell: X from 0 to 79, Y from 0 to 24"},
    };
    const fs::path file = fs::temp_directory_path() / "tharvok-replay-malformed-test.replay";
    for (const auto& [script, message] : cases) {
        std::ofstream(file, std::ios::binary) << script;
        const ReplayRun run = runReplay({"--dir", playWorld, file.string()});
        EXPECT_EQ(run.status, 2) << script;
        EXPECT_EQ(run.err,
                  "tharvok-replay: " + script::shown(file.string()) + ": " + message + "\n");
        EXPECT_EQ(run.out, "") << "nothing runs before the whole script is read";
    }
    fs::remove(file);
}

// What a recording writes reads back as the same commands: a count and keys, a time of day, a
// world's fingerprint under a path with escapes, the data folder and a config.ini of three lines.
TEST(Replay, RecordedLinesReadBackAsTheyWereWritten) {
    std::array<char, script::maxRecordedLineBytes> buffer{};
    std::vector<script::Command> commands;
    const auto read = [&](std::string_view lines) {
        for (std::string_view rest = lines; !rest.empty();) {
            const std::size_t end = rest.find('\n');
            std::string error;
            commands.emplace_back();
            EXPECT_EQ(script::parseLine(rest.substr(0, end), commands.back(), error),
                      script::LineKind::Command)
                << lines << error;
            rest.remove_prefix(end + 1);
        }
        return lines;
    };
    FrameInput frame;
    frame.ms = -5;
    frame.addKey(platform::vk::fromName("LEFT"));
    frame.addKey(platform::vk::fromName("E"));
    EXPECT_EQ(read({buffer.data(), script::formatFrames(buffer, 3, frame)}),
              "frames 3 -5 LEFT E\n");
    EXPECT_EQ(read({buffer.data(), script::formatFrames(buffer, 1, frame)}), "frame -5 LEFT E\n");
    EXPECT_EQ(read({buffer.data(), script::formatLocalTime(buffer, {9, 5, 3})}),
              "local-time 09:05:03\n");
    const script::Fingerprint print = script::fingerprint("a");
    EXPECT_EQ(print, (script::Fingerprint{1, 0xaf63dc4c8601ec8cu}));
    EXPECT_EQ(script::fingerprint(""), (script::Fingerprint{0, 0xcbf29ce484222325u}));
    EXPECT_EQ(read({buffer.data(), script::formatWorld(buffer, "sub\\\x01\\~.wgf", print)}),
              "world sub/\\x01/~.wgf 1 af63dc4c8601ec8c\n");
    EXPECT_EQ(read(script::formatData("C:\\w")), "data C:\\\\w\n");
    EXPECT_EQ(read(script::formatConfig("[keys]\n\x1b=quit\n\nend")),
              "config 18\nconfig-line [keys]\nconfig-line \\x1b=quit\nconfig-line \n"
              "config-line end\n");
    EXPECT_EQ(read(script::formatConfig(std::nullopt)), "config none\n");
    EXPECT_EQ(read({buffer.data(), script::formatWorld(buffer, "e.wgf", script::fingerprint(""))}),
              "world e.wgf 0 cbf29ce484222325\n");

    ASSERT_EQ(commands.size(), 12u);
    for (const std::size_t i : {0u, 1u}) {
        EXPECT_EQ(commands[i].count, i == 0 ? 3 : 1);
        EXPECT_EQ(commands[i].frame.ms, -5);
        EXPECT_TRUE(std::ranges::equal(commands[i].frame.keysDown(), frame.keysDown()));
    }
    EXPECT_EQ(commands[2].localTime.minute, 5);
    EXPECT_EQ(commands[3].text, "sub/\x01/~.wgf");
    EXPECT_EQ(commands[3].print, print);
    EXPECT_EQ(commands[4].text, "C:\\w");
    script::ConfigText config;
    std::string error;
    for (std::size_t i = 5; i < 10; ++i) {
        EXPECT_TRUE(config.add(commands[i], error)) << error;
    }
    std::optional<std::string> bytes;
    EXPECT_TRUE(config.finish(bytes, error)) << error;
    EXPECT_EQ(bytes, "[keys]\n\x1b=quit\n\nend");
    EXPECT_EQ(commands[10].count, -1);
    // An empty config.ini was recorded, not left out: it plays as a file of no bytes.
    read(script::formatConfig(""));
    script::ConfigText empty;
    EXPECT_TRUE(empty.add(commands.back(), error)) << error;
    EXPECT_TRUE(empty.finish(bytes, error)) << error;
    EXPECT_EQ(bytes, "");
}

TEST(Replay, UsageErrors) {
    EXPECT_EQ(runReplay({"--dir"}).status, 2);
    EXPECT_EQ(runReplay({"--local-time", "24:00:00"}).status, 2);
    EXPECT_EQ(runReplay({"--local-time", "9:05:03"}).status, 2);
    EXPECT_EQ(runReplay({"--console", "teletype"}).status, 2);
    EXPECT_EQ(runReplay({"--verbose"}).status, 2);
    EXPECT_EQ(runReplay({"one", "two"}).status, 2);
    const ReplayRun missing = runReplay({"/no/such/script.replay"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("/no/such/script.replay"), std::string::npos);
}

TEST(Replay, ReadsTheScriptFromStandardInputWithTabsAndCrLf) {
    const ReplayRun run = runReplay({"--dir", playWorld, "-"},
                                    "\t# comment\r\nframe\t16\tENTER\r\n frame 16\r\ncursor\r\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "cursor 41 12 hidden\n");
}

TEST(Replay, FramesAfterAQuitDoNothingButScreensStillPrint) {
    const ReplayRun run =
        runReplay({"--dir", playWorld},
                  "frame 16 ESC\nframe 16\nframes 5 16 ENTER\nframe 16 ENTER\ncursor\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "cursor 0 1 hidden\n");
}

TEST(Replay, WritesToTheFileNamedByOut) {
    const fs::path out = fs::temp_directory_path() / "tharvok-replay-out-test.txt";
    fs::remove(out);
    const ReplayRun run = runReplay({"--dir", playWorld, "--out", out.string()}, "cursor\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    std::stringstream text;
    {
        std::ifstream file(out, std::ios::binary);
        text << file.rdbuf();
    }
    EXPECT_EQ(text.str(), "cursor 0 24 hidden\n");
    fs::remove(out);
}

TEST(Replay, SvgLinesDrawTheScreenIntoTheFolderGiven) {
    const fs::path dir = fs::temp_directory_path() / "tharvok-replay-svg-test";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string script = "frame 16\nsvg title\n";
    const ReplayRun run = runReplay({"--dir", playWorld, "--svg-dir", dir.string()}, script);
    EXPECT_EQ(run.status, 0) << run.err;
    std::stringstream svg;
    svg << std::ifstream(dir / "title.svg", std::ios::binary).rdbuf();
    EXPECT_EQ(svg.str().rfind("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"800\"", 0), 0u);
    // The menu's items in their colours: the chosen one dark red, the others bright white.
    EXPECT_NE(svg.str().find("fill=\"#800000\" textLength=\"30\" lengthAdjust=\"spacingAndGlyphs\">"
                             "New</text>"),
              std::string::npos);
    EXPECT_NE(svg.str().find("fill=\"#ffffff\" textLength=\"70\" "
                             "lengthAdjust=\"spacingAndGlyphs\">Credits</text>"),
              std::string::npos);
    // Usage errors: no folder for the pictures, a name that is a path, a folder that is missing.
    EXPECT_EQ(runReplay({"--dir", playWorld}, script).status, 2);
    EXPECT_EQ(runReplay({"--dir", playWorld, "--svg-dir", dir.string()}, "svg a/b\n").status, 2);
    EXPECT_EQ(runReplay({"--dir", playWorld, "--svg-dir", dir.string()}, "svg\n").status, 2);
    const ReplayRun missing =
        runReplay({"--dir", playWorld, "--svg-dir", (dir / "none").string()}, script);
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("cannot write"), std::string::npos);
    fs::remove_all(dir);
}

// Copies the golden test world `world` to a scratch folder named `folder` and records there, in
// `file`, a game (speech on) that plays the frames and clicks of the golden replay `golden`.
// Returns the scratch folder, the screen and the sentences the game left.
struct Recorded {
    fs::path data;
    std::string screen;
    std::string said;
};
Recorded recordGolden(std::string_view world, std::string_view folder, std::string_view golden,
                      std::string_view file) {
    // A folder of its own: another run of the suite on the machine may play the same golden.
    Recorded result{fs::temp_directory_path() /
                        (std::string(folder) + " " + std::to_string(std::random_device{}())),
                    "", ""};
    fs::copy(fs::path(THARVOK_TESTS_DIR) / "golden" / "worlds" / world, result.data,
             fs::copy_options::recursive);
    platform::OutputFile out;
    std::string error;
    EXPECT_TRUE(out.open((result.data / file).string(), error)) << error;
    Recorder recorder(out, script::formatRecordingStart("tharvok 1.0.0") +
                               script::formatData(result.data.string()));
    HeadlessGame game(result.data);
    game.game().observeInputs(&recorder);
    EXPECT_TRUE(game.start(true));
    std::ifstream lines(fs::path(THARVOK_TESTS_DIR) / "golden" / golden);
    script::Command line;
    std::optional<platform::ScreenPoint> click;
    for (std::string text; std::getline(lines, text);) {
        if (script::parseLine(text, line, error) != script::LineKind::Command) {
            continue;
        }
        if (line.kind == script::CommandKind::Click) {
            click = line.frame.click;
        }
        for (long long n = 0; line.kind == script::CommandKind::Frames && n < line.count; ++n) {
            FrameInput input = line.frame;
            input.click = std::exchange(click, std::nullopt);
            game.frame(input);
        }
    }
    result.screen = platform::screenText(game.virtualConsole()->model().cells());
    for (const std::string& sentence : game.game().speech().take()) {
        result.said += sentence + "\n";
    }
    return result;
}

// A game recorded from a data folder with a space in its name, in which a jump failed for a world
// that is missing, plays back from its recording alone; once the world exists, it differs.
TEST(Replay, AJumpThatFailedWhenRecordedDiffersWhereTheWorldExists) {
    const fs::path data =
        recordGolden("play", "tharvok replay jump", "speech.replay", "jump.replay").data;
    const std::string recording = (data / "jump.replay").string();
    EXPECT_EQ(runReplay({recording}).err, "");
    const std::string missing = "bin/world/0123456789abcdef0123456789abcdef";
    std::ofstream(data / (missing + ".wgf")) << "";
    const ReplayRun differs = runReplay({recording});
    EXPECT_EQ(differs.status, 3);
    EXPECT_NE(
        differs.err.find(missing + ".wgf: warning: could not be read when the game was recorded"),
        std::string::npos)
        << differs.err;
    fs::remove_all(data);
}

// A game with travel and clicks plays back to the same screen and the same sentences: the
// recording holds the keys and the cells clicked (a click line), never travel's steps.
TEST(Replay, ARecordingWithTravelAndClicksPlaysBackExactly) {
    const Recorded game =
        recordGolden("travel", "tharvok replay travel", "travel.replay", "travel.replay");
    const fs::path recording = game.data / "travel.replay";
    std::ofstream(recording, std::ios::app) << "screen\nsaid\n";
    const ReplayRun replay = runReplay({recording.string()});
    EXPECT_EQ(replay.err, "");
    EXPECT_EQ(replay.out, game.screen + game.said);
    fs::remove_all(game.data);
}

// A config.ini given in place of the recording's is said, key by key, before the world files it
// leads the game not to read.
TEST(Replay, AnotherConfigIsSaidBeforeTheWorldFilesItChanges) {
    const fs::path ini = fs::temp_directory_path() /
                         ("tharvok-keys-" + std::to_string(std::random_device{}()) + ".ini");
    std::ofstream(ini) << "cMoveUp = W\n";
    const std::string world = "bin/world/0123456789abcdef0123456789abcdef.wgf";
    const ReplayRun run = runReplay({"--dir", playWorld, "--config", ini.string()},
                                    "config none\nworld " + world + " 5 0123456789abcdef\n");
    fs::remove(ini);
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, "tharvok-replay: warning: the keys differ from the recording's (made "
                       "without a config.ini): " +
                           script::inQuotes(ini.string()) +
                           " (--config) binds\n  move up, cMoveUp: W here, no key when recorded\n" +
                           world +
                           ": warning: read when the game was recorded, but not here: the "
                           "replay may not be the game that was played\n");
}

TEST(Replay, ComesBackToTheDirectoryItWasStartedIn) {
    const fs::path before = fs::current_path();
    runReplay({"--dir", playWorld}, "frame 16\n");
    EXPECT_EQ(fs::current_path(), before);
    runReplay({"--dir", "/no/such/dir"}, "frame 16\n");
    EXPECT_EQ(fs::current_path(), before);
}

} // namespace
