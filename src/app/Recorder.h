// Records a game as it is played: a replay script of exactly what the frame loop saw. It stands
// between the game and the back end's keyboard and clock: the local time the game starts at
// becomes the script's first line, and each frame becomes `frame MS KEY...` (its length, the bound
// keys that were down and a key that went down, bound or not), runs of identical frames folded
// into `frames N MS KEY...`.
//
// Appends go to a buffer of fixed size that reaches the file when it fills and about once a second;
// what was recorded up to the frame before the last one reaches the file even when the game ends
// on a signal. A frame costs an append to the buffer, nothing more.
#pragma once

#include "platform/OutputFile.h"
#include "platform/Platform.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class Recorder final : public platform::Keyboard, public platform::Clock {
public:
    // Records what the game reads from `keyboard` and `clock` into `file` (open), which starts
    // with the comment lines given.
    Recorder(platform::Keyboard& keyboard, platform::Clock& clock, platform::OutputFile& file,
             std::string_view comments);
    ~Recorder() override;
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Keyboard
    platform::InputStatus sample() override;
    void waitForInput(std::int64_t timeoutMs) override { keyboard_.waitForInput(timeoutMs); }
    std::int64_t pendingTimerMs() const override { return keyboard_.pendingTimerMs(); }
    std::int32_t keyWentDown() const override { return keyboard_.keyWentDown(); }
    bool isDown(int vk) override;
    void useKeys(std::span<const std::int32_t> codes) override;

    // Clock
    std::int64_t nowMs() override;
    platform::LocalTime localTime() override;

    // Writes the last frame and everything still buffered. False when the file could not be
    // written, now or at any time before.
    bool finish();

private:
    // The frame the game just finished reading, added to the script.
    void recordFrame();
    void append(std::string_view text);
    // Writes the buffer to the file and empties it.
    void flush();

    platform::Keyboard& keyboard_;
    platform::Clock& clock_;
    platform::OutputFile& file_;

    // The frame being read: its length and the keys found down.
    bool frameOpen_ = false;
    std::int64_t frameMs_ = 0;
    std::array<std::uint8_t, 32> frameKeys_{};
    std::size_t frameKeyCount_ = 0;
    std::int64_t previousMs_ = 0;
    std::int64_t latestMs_ = 0;
    bool clockRead_ = false;

    // The run of identical frames at the end of the buffer.
    std::int64_t runMs_ = 0;
    std::array<std::uint8_t, 32> runKeys_{};
    std::size_t runKeyCount_ = 0;
    std::uint32_t runCount_ = 0;
    std::size_t runStart_ = 0;

    std::array<char, 16 * 1024> buffer_{};
    // Bytes of the buffer that hold whole lines: what a signal's handler writes.
    std::atomic<std::size_t> pending_ = 0;
    std::size_t used_ = 0;
    std::int64_t lastFlushMs_ = 0;
    bool finished_ = false;
};
