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

enum class Kind {
    Regular,
    ExactlyTheBound,
    OneByteMore,
    Folder,
    Nothing,
    Link,
    Fifo,
    DevZero,
    DevUrandom,
    SparseTwoGigabytes
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

// Puts a thing of `kind` at `where`; a regular file holds `content`. A FIFO's feeder is returned
// (it must live while the game may read).
std::shared_ptr<void> make(Kind kind, const path& where, const std::string& content) {
    harness::fs::create_directories(where.parent_path());
    // Trailing line breaks change nothing in a grid, a link list or a config.ini.
    auto padded = [&](std::size_t size) {
        return content + std::string(size - content.size(), '\n');
    };
    switch (kind) {
    case Kind::Regular:
        harness::writeFile(where, content);
        break;
    case Kind::ExactlyTheBound:
        harness::writeFile(where, padded(platform::maxFileBytes));
        break;
    case Kind::OneByteMore:
        harness::writeFile(where, padded(platform::maxFileBytes + 1));
        break;
    case Kind::Folder:
        harness::fs::create_directories(where);
        break;
    case Kind::Nothing:
        break;
#if !defined(_WIN32)
    case Kind::Link:
        harness::writeFile(where.string() + ".target", content);
        harness::fs::create_symlink(where.filename().string() + ".target", where);
        break;
    case Kind::Fifo:
        EXPECT_EQ(::mkfifo(where.c_str(), 0600), 0);
        return std::make_shared<FifoFeeder>(where, content);
    case Kind::DevZero:
        harness::fs::create_symlink("/dev/zero", where);
        break;
    case Kind::DevUrandom:
        harness::fs::create_symlink("/dev/urandom", where);
        break;
    case Kind::SparseTwoGigabytes:
        harness::writeFile(where, content);
        harness::fs::resize_file(where, std::uintmax_t{2} << 30);
        break;
#else
    default:
        break;
#endif
    }
    return nullptr;
}

TEST(FileReading, WhatIsNotARegularFileOfAtMostOneMebibyteIsRefusedWithoutWaiting) {
    struct Case {
        const char* what;
        Kind kind;
        FileStatus status;
    };
    std::vector<Case> cases = {
        {"a regular file", Kind::Regular, FileStatus::Ok},
        {"a file of exactly 1 MiB", Kind::ExactlyTheBound, FileStatus::Ok},
        {"a file of 1 MiB and a byte", Kind::OneByteMore, FileStatus::TooLarge},
        {"a folder", Kind::Folder, FileStatus::NotAFile},
        {"nothing", Kind::Nothing, FileStatus::Missing},
    };
#if !defined(_WIN32)
    cases.insert(cases.end(),
                 {
                     {"a link to a regular file", Kind::Link, FileStatus::Ok},
                     {"a FIFO", Kind::Fifo, FileStatus::NotAFile},
                     {"a link to /dev/zero", Kind::DevZero, FileStatus::NotAFile},
                     {"a link to /dev/urandom", Kind::DevUrandom, FileStatus::NotAFile},
                     {"a sparse file of 2 GiB", Kind::SparseTwoGigabytes, FileStatus::TooLarge},
                 });
#endif
    const std::string grid = harness::gridFile({}, ',');
    const std::string message = ".wgf missing or corrupt!";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const bool ok = c.status == FileStatus::Ok;
        {
            // The reader itself.
            harness::ScratchDir dir;
            const auto keep = make(c.kind, dir.path() / "file", grid);
            std::string data = "left over";
            EXPECT_EQ(platform::readWholeFile(dir.path() / "file", data), c.status);
            EXPECT_EQ(data.substr(0, grid.size()), ok ? grid : std::string());
        }
        {
            // The start world's grid: the game does not start, and says which file.
            harness::GameHarness h;
            h.dir.writeInfo(harness::startStem, "a b 0");
            const auto keep = make(c.kind, h.dir.worldFile(harness::startStem, ".wgf"), grid);
            EXPECT_EQ(h.start(), ok);
            EXPECT_EQ(h.screenContains(harness::startStem + message), !ok);
        }
        {
            // A link's target world: the player stays, and a message box says which file.
            harness::GameHarness h;
            h.dir.writeWorld(harness::startStem,
                             harness::gridFile({"", "", "", "", "", "", "", "", "", "", "", "",
                                                harness::rowWith(41, '-')}),
                             "a b 1\nAway target 41 12 3 4\n");
            h.dir.writeInfo("target", "c d 0");
            const auto keep = make(c.kind, h.dir.worldFile("target", ".wgf"), grid);
            ASSERT_TRUE(h.start());
            ASSERT_TRUE(h.enterPlay());
            h.tap(harness::vkRight);
            h.tap(harness::vkUse);
            EXPECT_EQ(h.player().x, ok ? 3 : 41);
            EXPECT_EQ(h.screenContains("target" + message), !ok);
        }
        {
            // config.ini: refused, it is as if there were none, and only Escape is bound.
            harness::GameHarness h;
            harness::fs::remove(h.dir.path() / configFileName);
            h.dir.writeWorld(harness::startStem, grid, "a b 0");
            const auto keep =
                make(c.kind, h.dir.path() / configFileName, std::string(harness::playConfig));
            ASSERT_TRUE(h.start());
            EXPECT_EQ(h.enterPlay(), ok);
        }
    }
}

} // namespace
