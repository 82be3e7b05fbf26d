#include "app/Recorder.h"

#include "platform/VirtualKeys.h"

#include <algorithm>
#include <charconv>

namespace {

// Room kept free for the longest line a frame can add.
constexpr std::size_t lineRoom = 512;
// The buffer reaches the file at least this often (wall-clock milliseconds), so that little is
// lost even where no signal handler can write it.
constexpr std::int64_t flushEveryMs = 1000;

// "frame MS KEY..." or "frames N MS KEY...", with a line feed.
std::size_t formatLine(std::span<char> out, std::uint32_t count, std::int64_t ms,
                       std::span<const std::uint8_t> keys) {
    char* at = out.data();
    char* const end = out.data() + out.size();
    auto put = [&](std::string_view text) {
        const std::size_t n = std::min(text.size(), static_cast<std::size_t>(end - at));
        at = std::copy_n(text.data(), n, at);
    };
    auto number = [&](std::int64_t value) { at = std::to_chars(at, end, value).ptr; };
    if (count == 1) {
        put("frame ");
    } else {
        put("frames ");
        number(count);
        put(" ");
    }
    number(ms);
    for (const std::uint8_t key : keys) {
        put(" ");
        // A key's name is short (a letter, a word of the script, VK and a code): no allocation.
        put(platform::vk::name(key));
    }
    put("\n");
    return static_cast<std::size_t>(at - out.data());
}

} // namespace

Recorder::Recorder(platform::Keyboard& keyboard, platform::Clock& clock, platform::OutputFile& file,
                   std::string_view comments)
    : keyboard_(keyboard), clock_(clock), file_(file) {
    append(comments);
    file_.setPending(buffer_.data(), &pending_);
}

Recorder::~Recorder() {
    finish();
    file_.setPending(nullptr, nullptr);
}

platform::InputStatus Recorder::sample() {
    const platform::InputStatus status = keyboard_.sample();
    frameOpen_ = true;
    frameMs_ = latestMs_ - previousMs_;
    frameKeyCount_ = 0;
    // A key that went down is written even when nothing is bound to it: it closes the help box.
    if (const std::int32_t vk = keyboard_.keyWentDown(); vk > 0 && vk < 256) {
        frameKeys_[frameKeyCount_++] = static_cast<std::uint8_t>(vk);
    }
    return status;
}

bool Recorder::isDown(int vk) {
    const bool down = keyboard_.isDown(vk);
    if (down && frameOpen_ && vk > 0 && vk < 256) {
        const auto code = static_cast<std::uint8_t>(vk);
        const auto keys = std::span(frameKeys_).first(frameKeyCount_);
        if (std::find(keys.begin(), keys.end(), code) == keys.end() &&
            frameKeyCount_ < frameKeys_.size()) {
            frameKeys_[frameKeyCount_++] = code;
        }
    }
    return down;
}

void Recorder::useKeys(std::span<const std::int32_t> codes) { keyboard_.useKeys(codes); }

std::int64_t Recorder::nowMs() {
    const std::int64_t now = clock_.nowMs();
    // A reading of the clock starts a frame: the one before is complete.
    if (frameOpen_) {
        recordFrame();
    }
    if (!clockRead_) {
        clockRead_ = true;
        latestMs_ = now;
        lastFlushMs_ = now;
    }
    previousMs_ = latestMs_;
    latestMs_ = now;
    if (now - lastFlushMs_ >= flushEveryMs || now < lastFlushMs_) {
        lastFlushMs_ = now;
        flush();
    }
    return now;
}

platform::LocalTime Recorder::localTime() {
    const platform::LocalTime time = clock_.localTime();
    std::array<char, 32> line{};
    char* at = line.data();
    auto twoDigits = [&](int value) {
        *at++ = static_cast<char>('0' + (value / 10) % 10);
        *at++ = static_cast<char>('0' + value % 10);
    };
    at = std::copy_n("local-time ", 11, at);
    twoDigits(time.hour);
    *at++ = ':';
    twoDigits(time.minute);
    *at++ = ':';
    twoDigits(time.second);
    *at++ = '\n';
    append(std::string_view(line.data(), static_cast<std::size_t>(at - line.data())));
    return time;
}

void Recorder::recordFrame() {
    frameOpen_ = false;
    const auto keys = std::span(frameKeys_).first(frameKeyCount_);
    const bool same = runCount_ > 0 && frameMs_ == runMs_ && runKeyCount_ == frameKeyCount_ &&
                      std::equal(keys.begin(), keys.end(), runKeys_.begin());
    if (same && runCount_ < 10'000'000) {
        // The run grows: its line is written again in its place.
        ++runCount_;
        used_ = runStart_;
    } else {
        if (used_ + lineRoom > buffer_.size()) {
            flush();
        }
        runStart_ = used_;
        runCount_ = 1;
        runMs_ = frameMs_;
        runKeyCount_ = frameKeyCount_;
        std::copy(keys.begin(), keys.end(), runKeys_.begin());
    }
    used_ += formatLine(std::span(buffer_).subspan(used_), runCount_, runMs_,
                        std::span(runKeys_).first(runKeyCount_));
    pending_.store(used_, std::memory_order_relaxed);
}

void Recorder::append(std::string_view text) {
    while (!text.empty()) {
        if (used_ == buffer_.size()) {
            flush();
        }
        const std::size_t n = std::min(text.size(), buffer_.size() - used_);
        std::copy_n(text.data(), n, buffer_.data() + used_);
        used_ += n;
        text.remove_prefix(n);
    }
    pending_.store(used_, std::memory_order_relaxed);
    // A line after the run ends it: the next frame starts a run of its own.
    runCount_ = 0;
}

void Recorder::flush() {
    const std::size_t n = used_;
    pending_.store(0, std::memory_order_relaxed);
    file_.write(std::string_view(buffer_.data(), n));
    used_ = 0;
    runStart_ = 0;
    runCount_ = 0;
}

bool Recorder::finish() {
    if (finished_) {
        return file_.close();
    }
    finished_ = true;
    if (frameOpen_) {
        recordFrame();
    }
    flush();
    file_.setPending(nullptr, nullptr);
    return file_.close();
}
