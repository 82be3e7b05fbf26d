// The replay runner's command line and script language: what a user, a bug report or a world
// author can write, and the errors they get for what they cannot.
#include "Replay.h"
#include "app/HeadlessGame.h"
#include "app/Recorder.h"
#include "app/Script.h"
#include "platform/OutputFile.h"
#include "platform/VirtualKeys.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
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
        {"screen\nframe\n", "line 2"},      {"frame x\n", "line 1"},
        {"\n# fine\nframes 2\n", "line 3"}, {"frames -1 16\n", "line 1"},
        {"frame 16 HOME\n", "line 1"},      {"Screen\n", "line 1"},
        {"screen now\n", "line 1"},         {"cursor\r\nwait 5\r\n", "line 2"},
        {"local-time 9:05\n", "line 1"},    {"frame 16\nlocal-time 09:05:03\n", "line 2"},
    };
    const fs::path file = fs::temp_directory_path() / "tharvok-replay-malformed-test.replay";
    for (const auto& [script, where] : cases) {
        std::ofstream(file, std::ios::binary) << script;
        const ReplayRun run = runReplay({"--dir", playWorld, file.string()});
        EXPECT_EQ(run.status, 2) << script;
        EXPECT_NE(run.err.find(where), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "") << "nothing runs before the whole script is read";
    }
    fs::remove(file);
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

// A game recorded from a data folder with a space in its name, in which a jump failed for a world
// that is missing, plays back from its recording alone; once the world exists, it differs.
TEST(Replay, AJumpThatFailedWhenRecordedDiffersWhereTheWorldExists) {
    const fs::path data = fs::temp_directory_path() / "tharvok replay jump";
    fs::remove_all(data);
    fs::copy(playWorld, data, fs::copy_options::recursive);
    const std::string recording = (data / "jump.replay").string();
    {
        platform::OutputFile file;
        std::string error;
        ASSERT_TRUE(file.open(recording, error)) << error;
        Recorder recorder(file, script::formatRecordingStart("tharvok 1.0.0") +
                                    script::formatData(data.string()));
        HeadlessGame game(data);
        game.game().observeInputs(&recorder);
        ASSERT_TRUE(game.start());
        // The frames of the golden walk that tries the path to the missing world.
        std::ifstream walk(fs::path(THARVOK_TESTS_DIR) / "golden" / "speech.replay");
        script::Command frames;
        for (std::string line; std::getline(walk, line);) {
            const bool played =
                script::parseLine(line, frames, error) == script::LineKind::Command &&
                frames.kind == script::CommandKind::Frames;
            for (long long n = 0; played && n < frames.count; ++n) {
                game.frame(frames.frame);
            }
        }
    }
    EXPECT_EQ(runReplay({recording}).err, "");
    const std::string missing = "bin/world/0123456789abcdef0123456789abcdef";
    std::ofstream(data / (missing + ".wgf")) << "";
    const ReplayRun differs = runReplay({recording});
    EXPECT_EQ(differs.status, 3);
    EXPECT_NE(differs.err.find(missing + ".wgf could not be read when the game was recorded"),
              std::string::npos)
        << differs.err;
    fs::remove_all(data);
}

TEST(Replay, ComesBackToTheDirectoryItWasStartedIn) {
    const fs::path before = fs::current_path();
    runReplay({"--dir", playWorld}, "frame 16\n");
    EXPECT_EQ(fs::current_path(), before);
    runReplay({"--dir", "/no/such/dir"}, "frame 16\n");
    EXPECT_EQ(fs::current_path(), before);
}

} // namespace
