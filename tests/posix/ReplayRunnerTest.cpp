// tharvok-replay as a user runs it, with what a careless or hostile user gives it: each case is a
// shell command line, and the runner must end in time with the exit status and messages that say
// what happened, in bounded memory, writing no control byte to the user's terminal.
#include "world/WorldFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

struct Outcome {
    int status = -1;   // the exit status, or -1 when a signal ended it
    int signal = 0;    // the signal that ended it
    long maxRssKb = 0; // the most memory it held
    std::string out;
    std::string err;
};

// Runs `command` with sh (standard input /dev/null, output in files of `scratch`) and kills it
// when it runs a minute.
Outcome runShell(const std::string& command, const fs::path& scratch) {
    const std::string outPath = (scratch / "stdout").string();
    const std::string errPath = (scratch / "stderr").string();
    // AddressSanitizer keeps freed memory in quarantine, which would count as held.
    const std::string line = "export ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}"
                             "quarantine_size_mb=0:thread_local_quarantine_size_kb=0\"; " +
                             command;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(::open("/dev/null", O_RDONLY), 0);
        ::dup2(::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        ::dup2(::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        ::alarm(60); // kept across exec
        ::execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    Outcome outcome;
    int status = 0;
    struct rusage usage {};
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid) {
        ADD_FAILURE() << "cannot run " << command;
        return outcome;
    }
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    outcome.maxRssKb = usage.ru_maxrss;
    outcome.out = readFile(outPath);
    outcome.err = readFile(errPath);
    return outcome;
}

TEST(ReplayRunner, HostileInputEndsInTimeWithATruthfulStatusAndMessage) {
    struct Case {
        const char* what;
        std::string script; // written to $T/script
        std::string command;
        int status;
        const char* errHas;   // a part of standard error, or "" when it must be empty
        const char* outIs;    // standard output exactly, or null
        const char* outHas;   // a part of standard output, or null
        bool bounded = false; // holds no more memory than for a one-line script
    };
    const char* fromFile = "exec \"$R\" --dir \"$W\" \"$T/script\"";
    const char* fromInput = "exec \"$R\" --dir \"$W\" < \"$T/script\"";
    const char* bigFromFile = "exec \"$R\" --dir \"$W\" \"$T/big\"";
    const char* bigFromInput = "exec \"$R\" --dir \"$W\" < \"$T/big\"";
    // A recording as the recorder begins it: what follows its last line feed was cut.
    const std::string recording =
        "# A game of tharvok 0.9.0. To play it back: tharvok-replay THIS-FILE\nframe 16 ENTER\n"
        "frame 16\ncursor\n";
    const std::string startGrid = "bin/world/" + std::string(startWorldStem) + ".wgf";
    const std::string startMissing = startGrid + " missing or corrupt!";
    const std::string noStart = "cannot read the start world (" + startGrid + " and .wif) in '/";
    const std::string startDiffers =
        startGrid +
        ": warning: Test fields: differs from the file the game read when it was recorded";
    const char* thenScript = "; s=$?; cat \"$T/script\"; exit $s"; // no output replaced it
    const Case cases[] = {
        {"frame counts end at ten million", "frames 10000000 16\nframes 10000001 16\n", fromFile, 2,
         "script: line 2: bad frame count '10000001'", "", nullptr},
        {"a count that never ends", "frames 9223372036854775807 16\n", fromInput, 2,
         "-: line 1: bad frame count", "", nullptr},
        {"a long script file", "", bigFromFile, 0, "", "", nullptr, true},
        {"a long script on standard input", "", bigFromInput, 0, "", "", nullptr, true},
        {"a frame too long", "frame 9223372036854775807\n", fromFile, 2,
         "line 1: bad milliseconds '9223372036854775807'", "", nullptr},
        {"the longest frames back and forth",
         "frame -1000000000000\nframe -1000000000000\nframe 1000000000000\ncursor\n", fromFile, 0,
         "", "cursor 0 24 hidden\n", nullptr},
        {"output to a full device", "cursor\n",
         "exec \"$R\" --dir \"$W\" --out /dev/full \"$T/script\"", 2, "cannot write '/dev/full'",
         "", nullptr},
        {"standard output to a full device", "cursor\n",
         "exec \"$R\" --dir \"$W\" \"$T/script\" > /dev/full", 2, "cannot write standard output",
         nullptr, nullptr},
        {"output to a file that takes no writes", "cursor\n",
         "exec \"$R\" --dir \"$W\" --out /proc/version \"$T/script\"", 2,
         "cannot write '/proc/version'", "", nullptr},
        {"a folder as the script", "", "exec \"$R\" --dir \"$W\" \"$T\"", 2, "it is a folder", "",
         nullptr},
        {"an endless device as the script", "", "exec \"$R\" --dir \"$W\" /dev/zero", 2,
         "/dev/zero: line 1: longer than 4096 bytes", "", nullptr},
        {"a working folder that was deleted", "screen\n",
         "mkdir \"$T/gone\" && cd \"$T/gone\" && rmdir \"$T/gone\" && exec \"$R\" \"$T/script\"", 1,
         "cannot read the start world", nullptr, startMissing.c_str()},
        {"no temporary folder and no data folder", "screen\n",
         "TMPDIR=\"$T/none\" exec \"$R\" --dir \"$T/none\" \"$T/script\"", 1, noStart.c_str(),
         nullptr, "missing or corrupt!"},
        {"no temporary folder is made or played", "screen\n",
         "mkdir \"$T/tmp\" && TMPDIR=\"$T/tmp\" \"$R\" --dir \"$T/nowhere\" \"$T/script\"; s=$?; "
         "ls -A \"$T/tmp\" | grep -q . && exit 99; exit $s",
         1, "/nowhere': name the data folder with --data DIR", nullptr, "missing or corrupt!"},
        {"a key name that would retitle the terminal", "frame 16 \x1b]0;owned\x07\n", fromFile, 2,
         "line 1: unknown key '\\x1b]0;owned\\x07'", "", nullptr},
        {"a command name with a C1 control",
         "\xc2\x9b"
         "31mred\n",
         fromInput, 2, "-: line 1: unknown command '\\xc2\\x9b31mred'", "", nullptr},
        {"standard input runs as it is read", "cursor\nbogus\n", fromInput, 2,
         "-: line 2: unknown command 'bogus'", "cursor 0 24 hidden\n", nullptr},
        {"a script file is checked before it runs", "cursor\nbogus\n", fromFile, 2,
         "script: line 2: unknown command 'bogus'", "", nullptr},
        {"--help", "", "exec \"$R\" --help", 0, "", nullptr, "exit status: 0 played"},
        {"--version", "", "exec \"$R\" --version", 0, "", "tharvok-replay 1.0.0\n", nullptr},
        {"a world file that differs from the recording's",
         "world " + startGrid + " 2025 0123456789abcdef\ncursor\n", fromFile, 3,
         startDiffers.c_str(), "cursor 0 24 hidden\n", nullptr},
        {"the data folder a recording names, its blanks unescaped as 1.0.0 wrote them", "",
         "cp -R \"$W\" \"$T/My Games\" && printf 'data %s\\ncursor\\n' \"$T/My Games\" > "
         "\"$T/named\" && cd \"$T\" && exec \"$R\" named",
         0, "", "cursor 0 24 hidden\n", nullptr},
        {"the last screen before the farewell", "frame 16 ESC\n",
         "exec \"$R\" --dir \"$W\" --final-screen - \"$T/script\"", 0, "", nullptr, "New Game"},
        {"a config.ini cut short", "config 9\nconfig-line a\ncursor\n", fromFile, 2,
         "script: line 3: the 'config-line' lines hold 2 bytes, not the 9 announced", "", nullptr},
        {"a recording cut inside a frame line", recording + "frame 16 E", fromFile, 4,
         "script: the recording stops at line 5, cut short", "cursor 41 12 hidden\n", nullptr},
        {"a recording cut inside a word, read as it comes", recording + "f", fromInput, 4,
         "-: the recording stops at line 5, cut short", "cursor 41 12 hidden\n", nullptr},
        {"a script by hand plays its last line without a line feed", "frame 16 ENTER\ncursor",
         fromFile, 0, "", "cursor 41 12 hidden\n", nullptr},
        {"--out naming the script through a link", "cursor\n",
         std::string("ln -sf script \"$T/link\" && \"$R\" --dir \"$W\" --out \"$T/link\" "
                     "\"$T/script\"") +
             thenScript,
         2, "link' is the script the replay reads: nothing is written", "cursor\n", nullptr},
        {"--asciicast naming the script on standard input", "cursor\n",
         std::string("\"$R\" --dir \"$W\" --asciicast \"$T/script\" < \"$T/script\"") + thenScript,
         2, "script' is the script the replay reads", "cursor\n", nullptr},
        {"a picture named as the script", "svg script\n",
         std::string("cp \"$T/script\" \"$T/script.svg\" && \"$R\" --dir \"$W\" --svg-dir \"$T\" "
                     "\"$T/script.svg\"; s=$?; cat \"$T/script.svg\"; exit $s"),
         2, "'svg script' would write over the script: nothing is written", "svg script\n",
         nullptr},
        {"only the newest sentences are kept for 'said'", "",
         "{ echo 'frame 16 ENTER'; yes 'frame 16 D' | head -n 8194 | sed 'a frame 16'; echo "
         "said; } > \"$T/talk\" && \"$R\" --dir \"$S\" \"$T/talk\" > \"$T/said\"; s=$?; "
         "wc -l < \"$T/said\"; sed -n '1p;$p' \"$T/said\"; exit $s",
         0, "'said' keeps the newest 65536 sentences: 15 older ones were not printed",
         "65536\nNorth: open ground for 2 steps, then fields.\n"
         "North-west: open ground for 3 steps, then fields.\n",
         nullptr},
    };

    // The commands name the runner R, test worlds W, the shipped data S and a scratch folder T.
    const fs::path scratch = fs::temp_directory_path() /
                             ("tharvok-replay-runner-" + std::to_string(std::random_device{}()));
    fs::create_directories(scratch);
    ::setenv("R", THARVOK_REPLAY_EXE, 1);
    ::setenv("W", THARVOK_SOURCE_DIR "/tests/golden/worlds/play", 1);
    ::setenv("S", THARVOK_SOURCE_DIR "/data", 1);
    ::setenv("T", scratch.c_str(), 1);
    {
        std::ofstream big(scratch / "big", std::ios::binary);
        for (int n = 0; n < 80000; ++n) {
            big << "frames 0 16 A B C D E F G H\n";
        }
        std::ofstream(scratch / "script", std::ios::binary) << "# nothing\n";
    }
    const long baselineKb = runShell(fromFile, scratch).maxRssKb;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::ofstream(scratch / "script", std::ios::binary | std::ios::trunc) << c.script;
        const Outcome run = runShell(c.command, scratch);
        EXPECT_EQ(run.signal, 0) << "ended by a signal (14: it did not end in time)";
        EXPECT_EQ(run.status, c.status) << run.err;
        if (*c.errHas == '\0') {
            EXPECT_EQ(run.err, "");
        } else {
            EXPECT_NE(run.err.find(c.errHas), std::string::npos) << run.err;
        }
        for (const char byte : run.err) {
            const auto b = static_cast<unsigned char>(byte);
            EXPECT_TRUE(b == '\n' || (b >= 0x20 && b < 0x7f))
                << "byte " << int(b) << " in " << run.err;
        }
        if (c.outIs != nullptr) {
            EXPECT_EQ(run.out, c.outIs);
        }
        if (c.outHas != nullptr) {
            EXPECT_NE(run.out.find(c.outHas), std::string::npos) << run.out;
        }
        if (c.bounded) {
            EXPECT_LT(run.maxRssKb, baselineKb + 2048) << "a one-line script: " << baselineKb;
        }
    }
    std::error_code error;
    fs::remove_all(scratch, error);
}

} // namespace
