// Golden screens: each tests/golden/*.replay script is run through the replay runner and what it
// prints must equal the .expected file beside it, byte for byte (text and colours).
//
// A script's leading comments say where it runs:
//   # dir: worlds/play          the game's working directory, relative to tests/golden
//   # local-time: 09:05:03      the local time of day at start (default 12:00:00)
//   # exit: 1                   the expected exit status (default 0)
// Set THARVOK_UPDATE_GOLDEN=1 to rewrite the expected files, then read every changed screen.
#include "Replay.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path goldenDir = fs::path(THARVOK_TESTS_DIR) / "golden";

std::string readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

struct Header {
    std::string dir = ".";
    std::string localTime = "12:00:00";
    int exitStatus = 0;
};

Header readHeader(const fs::path& script) {
    Header header;
    std::istringstream lines(readFile(script));
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("# dir: ", 0) == 0) {
            header.dir = line.substr(7);
        } else if (line.rfind("# local-time: ", 0) == 0) {
            header.localTime = line.substr(14);
        } else if (line.rfind("# exit: ", 0) == 0) {
            header.exitStatus = std::stoi(line.substr(8));
        }
    }
    return header;
}

std::vector<std::string> goldenScripts() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(goldenDir)) {
        if (entry.path().extension() == ".replay") {
            names.push_back(entry.path().stem().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

fs::path expectedFile(const std::string& name) {
#if defined(_WIN32)
    const fs::path windows = goldenDir / (name + ".expected-win32");
    if (fs::exists(windows)) {
        return windows;
    }
#endif
    return goldenDir / (name + ".expected");
}

class GoldenScreens : public testing::TestWithParam<std::string> {};

TEST_P(GoldenScreens, MatchesExpected) {
    const fs::path script = goldenDir / (GetParam() + ".replay");
    const Header header = readHeader(script);
    const std::vector<std::string> args = {"--dir", (goldenDir / header.dir).string(),
                                           "--local-time", header.localTime, script.string()};
    std::istringstream noInput;
    std::ostringstream out;
    std::ostringstream err;
    const int status = replay::replayMain(args, noInput, out, err);
    EXPECT_EQ(status, header.exitStatus) << err.str();
    // A start world that cannot be read is said on standard error too; nothing else is.
    if (header.exitStatus == 1) {
        EXPECT_NE(err.str().find("cannot read the start world"), std::string::npos) << err.str();
    } else {
        EXPECT_EQ(err.str(), "");
    }

    const fs::path expected = expectedFile(GetParam());
    if (std::getenv("THARVOK_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(expected, std::ios::binary) << out.str();
    }
    ASSERT_TRUE(fs::exists(expected)) << expected;
    EXPECT_EQ(out.str(), readFile(expected));
}

INSTANTIATE_TEST_SUITE_P(Scripts, GoldenScreens, testing::ValuesIn(goldenScripts()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) {
                                     c = '_';
                                 }
                             }
                             return name;
                         });

} // namespace
