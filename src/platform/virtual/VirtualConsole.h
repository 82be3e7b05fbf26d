// The in-memory console: the screen model behind the console interface, with a record of what
// was asked of it. Tests and the replay runner draw the real game into it.
#pragma once

#include "ModelConsole.h"
#include "Platform.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace platform {

class VirtualConsole final : public ModelConsole {
public:
    void setUp(std::string_view title) override;
    void setTitle(std::string_view title) override {
        title_ = title;
        ++ownCalls_;
    }
    void setAttribute(std::uint16_t attribute) override {
        ModelConsole::setAttribute(attribute);
        ++ownCalls_;
    }
    void setFocus(const Focus& focus) override { focus_ = focus; }
    void present() override { ++presentCount_; }

    const std::string& title() const { return title_; }
    // The focus the game gave last.
    const Focus& focus() const { return focus_; }
    int setUpCount() const { return setUpCount_; }
    std::uint64_t presentCount() const { return presentCount_; }
    // Every call that may change the screen or its state counts; reads and presents do not.
    std::uint64_t callCount() const { return changes() + ownCalls_; }

private:
    std::string title_;
    Focus focus_;
    int setUpCount_ = 0;
    std::uint64_t presentCount_ = 0;
    // The calls counted besides the model's changes: set-up, titles, attributes.
    std::uint64_t ownCalls_ = 0;
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
    // The click the next samples report, until another is set.
    void setClick(std::optional<ScreenPoint> cell) { click_ = cell; }
    std::optional<ScreenPoint> clicked() const override { return click_; }
    int sampleCount() const { return sampleCount_; }

private:
    bool down_[256] = {};
    bool sampled_[256] = {};
    std::int32_t wentDown_ = 0;
    int sampleCount_ = 0;
    std::optional<ScreenPoint> click_;
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
