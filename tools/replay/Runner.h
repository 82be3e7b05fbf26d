// The game, headless, with what a script's commands ask of it: frames, screens, pictures, and the
// world files checked against the fingerprints a recording holds.
#pragma once

#include "Asciicast.h"
#include "Options.h"
#include "ReplayConsole.h"

#include "config/ConfigFile.h"
#include "headless/HeadlessGame.h"
#include "replay/GameInputObserver.h"
#include "replay/Script.h"

#include <cstddef>
#include <deque>
#include <filesystem>
#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace replay {

// What the game starts with.
struct Start {
    std::filesystem::path data;
    platform::LocalTime localTime;
    // The configuration to bind the keys from; none: the data folder's config.ini.
    std::optional<ConfigFile> config;
};

class Runner final : public GameInputObserver {
public:
    // Starts the game; with a terminal recording, its first frame is the screen the game starts
    // on. Warnings (the world files that differ) are added to `messages`, for standard error
    // once the run is over: a console the replay reads back must show nothing but the game.
    Runner(const Options& options, Start start, ReplayConsole& console, std::ostream& out,
           std::string& messages, Asciicast* cast);
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    bool started() const { return started_; }
    // True once a world file differed from the recording's fingerprint.
    bool worldsDiffered() const { return worldsDiffered_; }

    // Runs one command; false when what it printed or drew could not be written (`failure`
    // then says what could not; empty for the printed output).
    bool run(const script::Command& command, std::string& failure);

    // The last screen before the game ended (the one before the farewell, for a quit), or the
    // screen now when it runs on.
    Snapshot finalScreen();
    // The recording's clock now.
    std::int64_t elapsedMs() const { return std::min(elapsedMs_, maxElapsedMs); }

    // GameInputObserver: the world files this replay reads.
    void startedAt(platform::LocalTime) override {}
    void frameRead(const FrameInput&) override {}
    void worldFileRead(std::string_view path, std::string_view bytes) override;
    void worldFileMissing(std::string_view path) override;

    // The most sentences kept between two `said` lines: the newest.
    static constexpr std::size_t maxKeptSentences = 65536;

private:
    void record();
    // A sentence the game said, kept for the next `said` line.
    void keep(std::string sentence);
    // Compares the world file a `world` line names with what this replay read last under its path.
    void checkWorld(const script::Command& command);

    // Far beyond any script: the recording's clock stops there rather than overflow.
    static constexpr long long maxElapsedMs = 1'000'000'000'000'000;

    const Options& options_;
    ReplayConsole& console_;
    std::ostream& out_;
    std::string& messages_;
    Asciicast* cast_;
    // The data folder, where the worlds that messages name are looked up.
    std::filesystem::path data_;
    HeadlessGame headless_;
    bool started_ = false;
    long long elapsedMs_ = 0;
    // The screen before the frame that ended the game, kept when the final screen is asked for.
    std::optional<Snapshot> beforeEnd_;
    // The fingerprint of each world file as this replay last read it (none: it could not be
    // read), by path with '/'.
    std::map<std::string, std::optional<script::Fingerprint>, std::less<>> read_;
    std::set<std::string, std::less<>> warned_;
    bool worldsDiffered_ = false;
    // The sentences said since the last `said` line, the newest of them, and how many older
    // ones were let go.
    std::deque<std::string> said_;
    std::size_t dropped_ = 0;
    // The click of a click line, for the next frame.
    std::optional<platform::ScreenPoint> click_;
    bool toldDropped_ = false;
};

} // namespace replay
