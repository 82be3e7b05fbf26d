// The in-memory console: the screen model behind the console interface, with a record of what
// was asked of it. Tests and the replay runner draw the real game into it.
#pragma once

#include "Platform.h"
#include "ScreenModel.h"

#include <cstdint>
#include <limits>
#include <string>

namespace platform {

class VirtualConsole final : public ConsoleDevice {
public:
    void setUp(std::string_view title) override;
    void setTitle(std::string_view title) override {
        title_ = title;
        ++callCount_;
    }
    void setCursorPosition(int x, int y) override;
    void setCursorVisible(bool visible) override;
    void setAttribute(std::uint16_t attribute) override;
    std::uint16_t attribute() const override { return model_.attribute(); }
    void fillCharacters(int x, int y, std::uint8_t ch, int count) override;
    void fillAttributes(int x, int y, std::uint16_t attribute, int count) override;
    void writeText(std::string_view text) override;
    void writeGlyphs(std::string_view glyphs) override;
    void present() override;

    const ScreenModel& model() const { return model_; }
    const std::string& title() const { return title_; }
    int setUpCount() const { return setUpCount_; }
    std::uint64_t presentCount() const { return presentCount_; }
    // Every call that may change the screen or its state counts; reads and presents do not.
    std::uint64_t callCount() const { return callCount_; }

private:
    ScreenModel model_;
    std::string title_;
    int setUpCount_ = 0;
    std::uint64_t presentCount_ = 0;
    std::uint64_t callCount_ = 0;
};

// Keys held down as a script or a test says. A key goes down when it is down at a sample and was
// not at the sample before.
class ScriptedKeyboard final : public Keyboard {
public:
    InputStatus sample() override;
    std::int32_t keyWentDown() const override { return wentDown_; }
    bool isDown(int vk) override;
    void setDown(int vk, bool down);
    void releaseAll();
    int sampleCount() const { return sampleCount_; }

private:
    bool down_[256] = {};
    bool sampled_[256] = {};
    std::int32_t wentDown_ = 0;
    int sampleCount_ = 0;
};

// A wall clock and a local time that move only when told.
class ManualClock final : public Clock {
public:
    static constexpr std::int64_t defaultStartMs = 1700000000000;

    std::int64_t nowMs() override { return nowMs_; }
    LocalTime localTime() override { return localTime_; }
    // Stops at the ends of the range: no script can make the time wrap around.
    void advance(std::int64_t ms) {
        constexpr std::int64_t most = std::numeric_limits<std::int64_t>::max();
        constexpr std::int64_t least = std::numeric_limits<std::int64_t>::min();
        if (ms > 0 && nowMs_ > most - ms) {
            nowMs_ = most;
        } else if (ms < 0 && nowMs_ < least - ms) {
            nowMs_ = least;
        } else {
            nowMs_ += ms;
        }
    }
    void setLocalTime(LocalTime time) { localTime_ = time; }

private:
    std::int64_t nowMs_ = defaultStartMs;
    LocalTime localTime_{12, 0, 0};
};

} // namespace platform
