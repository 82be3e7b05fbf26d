// Data files that are not what they should be: a folder, a FIFO, a device, a huge file. Each is
// refused at once, without waiting and without reading it all, wherever the game reads a file:
// the start world, a link's target world, config.ini.
#include "GameHarness.h"

#include "platform/FileReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using harness::fs::path;
using platform::FileStatus;

namespace {

// What is put where the game looks for a file.
struct Thing {
    enum Kind { File, Folder, Nothing, Link, Fifo } kind = File;
    std::uintmax_t size = 0; // a file made this large (sparse), when not 0
    const char* linkTo = ""; // a link to this path, or (when empty) to a regular file
};

#if !defined(_WIN32)
// Gives `content` to whoever opens the FIFO for reading; when nobody does, it is released when
// this goes.
class FifoFeeder {
public:
    FifoFeeder(const path& fifo, std::string content)
        : fifo_(fifo), writer_([fifo, content = std::move(content)] {
              const int fd = ::open(fifo.c_str(), O_WRONLY);
              if (fd >= 0) {
                  EXPECT_EQ(::write(fd, content.data(), content.size()),
                            static_cast<ssize_t>(content.size()));
                  ::close(fd);
              }
          }) {}
    ~FifoFeeder() {
        const int reader = ::open(fifo_.c_str(), O_RDONLY | O_NONBLOCK);
        writer_.join();
        if (reader >= 0) {
            ::close(reader);
        }
    }
    FifoFeeder(const FifoFeeder&) = delete;
    FifoFeeder& operator=(const FifoFeeder&) = delete;

private:
    path fifo_;
    std::thread writer_;
};
#endif

// Puts `thing` at `where`; a file holds `content` (padded with zero bytes, which change nothing
// in a grid or a config.ini). A FIFO's feeder is returned: it must live while the game may read,
// and go before the FIFO does.
std::shared_ptr<void> make(const Thing& thing, const path& where, const std::string& content) {
    harness::fs::create_directories(where.parent_path());
    switch (thing.kind) {
    case Thing::File:
        harness::writeFile(where, content);
        if (thing.size != 0) {
            harness::fs::resize_file(where, thing.size);
        }
        break;
    case Thing::Folder:
        harness::fs::create_directories(where);
        break;
    case Thing::Nothing:
        break;
    case Thing::Link:
        if (*thing.linkTo == '\0') {
            harness::writeFile(where.string() + ".target", content);
        }
        harness::fs::create_symlink(*thing.linkTo != '\0'
                                        ? path(thing.linkTo)
                                        : path(where.filename().string() + ".target"),
                                    where);
        break;
    case Thing::Fifo:
#if !defined(_WIN32)
        EXPECT_EQ(::mkfifo(where.c_str(), 0600), 0);
        return std::make_shared<FifoFeeder>(where, content);
#endif
        break;
    }
    return nullptr;
}

TEST(FileReading, WhatIsNotARegularFileOfAtMostOneMebibyteIsRefusedWithoutWaiting) {
    struct Case {
        const char* what;
        Thing thing;
        FileStatus status;
    };
    constexpr std::uintmax_t mebibyte = platform::maxFileBytes;
    std::vector<Case> cases = {
        {"a regular file", {}, FileStatus::Ok},
        {"a file of exactly 1 MiB", {Thing::File, mebibyte}, FileStatus::Ok},
        {"a file of 1 MiB and a byte", {Thing::File, mebibyte + 1}, FileStatus::TooLarge},
        {"a folder", {Thing::Folder}, FileStatus::NotAFile},
        {"nothing", {Thing::Nothing}, FileStatus::Missing},
    };
#if !defined(_WIN32)
    cases.insert(
        cases.end(),
        {{"a link to a regular file", {Thing::Link}, FileStatus::Ok},
         {"a FIFO", {Thing::Fifo}, FileStatus::NotAFile},
         {"a link to /dev/zero", {Thing::Link, 0, "/dev/zero"}, FileStatus::NotAFile},
         {"a link to /dev/urandom", {Thing::Link, 0, "/dev/urandom"}, FileStatus::NotAFile},
         {"a sparse 2 GiB file", {Thing::File, mebibyte << 11}, FileStatus::TooLarge}});
#endif
    const std::string grid = harness::gridFile({}, ',');
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const bool ok = c.status == FileStatus::Ok;
        harness::ScratchDir dir;
        const auto file = make(c.thing, dir.path() / "file", grid);
        std::string data = "left over";
        EXPECT_EQ(platform::readWholeFile(dir.path() / "file", data), c.status);
        EXPECT_EQ(data.substr(0, grid.size()), ok ? grid : "");

        // As the start world's grid: the game does not start, and says which file.
        harness::GameHarness start;
        start.dir.writeInfo(harness::startStem, "a b 0");
        const auto startFile = make(c.thing, start.dir.worldFile(harness::startStem, ".wgf"), grid);
        EXPECT_EQ(start.start(), ok);
        EXPECT_EQ(start.screenContains(harness::startStem + ".wgf missing or corrupt!"), !ok);

        // As a link's target: the player stays, and a message box says which file.
        harness::GameHarness jump;
        // The start cell is the link.
        std::vector<std::string> linkRows(screenHeight);
        linkRows[12] = harness::rowWith(40, '-', ',');
        jump.dir.writeWorld(harness::startStem, harness::gridFile(linkRows, ','),
                            "a b 1\nAway target 40 12 3 4\n");
        jump.dir.writeInfo("target", "c d 0");
        const auto jumpFile = make(c.thing, jump.dir.worldFile("target", ".wgf"), grid);
        ASSERT_TRUE(jump.start() && jump.enterPlay());
        jump.tap(harness::vkUse);
        EXPECT_EQ(jump.playerX(), ok ? 3 : 40);
        EXPECT_EQ(jump.screenContains("target.wgf missing or corrupt!"), !ok);

        // As config.ini: it is as if there were none, and Enter does not start a game.
        harness::GameHarness config;
        harness::fs::remove(config.dir.path() / configFileName);
        config.dir.writeWorld(harness::startStem, grid, "a b 0");
        const auto configFile =
            make(c.thing, config.dir.path() / configFileName, std::string(harness::playConfig));
        ASSERT_TRUE(config.start());
        EXPECT_EQ(config.enterPlay(), ok);
    }
}

} // namespace
