// Records a game as it is played: a replay script of exactly what the game read from outside. The
// header it is given comes first (comments, the data folder, the config.ini the game read); then
// the local time the game starts at, a fingerprint of each world file as it is read (or that it
// could not be read), and each frame as `frame MS KEY...` (its length and the bound keys that were
// down), runs of identical frames folded into `frames N MS KEY...`.
//
// Lines go to a buffer of fixed size that reaches the file when it fills and about once a second
// of play; every frame recorded reaches the file even when the game ends on a signal or a fault.
// A frame costs an append to the buffer, nothing more. The first write that fails is told at once
// to whoever asked (the game goes on; the rest of the recording is lost).
#pragma once

#include "platform/OutputFile.h"
#include "replay/GameInputObserver.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>

class Recorder final : public GameInputObserver {
public:
    // Records into `file` (open), which starts with `header`.
    Recorder(platform::OutputFile& file, std::string_view header);
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    void startedAt(platform::LocalTime time) override;
    void frameRead(const FrameInput& input) override;
    void worldFileRead(std::string_view path, std::string_view bytes) override;
    void worldFileMissing(std::string_view path) override;

    // Called once, at the first write to the file that fails.
    void onWriteFailed(std::function<void()> failed) { writeFailed_ = std::move(failed); }

    // Writes everything still buffered and closes the file. False when the file could not be
    // written, now or at any time before.
    bool finish();

private:
    // Adds a line to the buffer (ending a run of frames).
    void append(std::string_view text);
    // Writes the buffer to the file and empties it.
    void flush();

    platform::OutputFile& file_;

    // The run of identical frames at the end of the buffer.
    FrameInput run_;
    std::uint32_t runCount_ = 0;
    std::size_t runStart_ = 0;

    std::array<char, 16 * 1024> buffer_{};
    // Bytes of the buffer that hold whole lines: what a signal's handler writes.
    std::atomic<std::size_t> pending_ = 0;
    std::size_t used_ = 0;
    // Milliseconds of play since the buffer last reached the file.
    std::int64_t sinceFlushMs_ = 0;
    bool finished_ = false;
    bool failed_ = false;
    std::function<void()> writeFailed_;
};
