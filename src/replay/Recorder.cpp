#include "replay/Recorder.h"

#include "replay/Script.h"

#include <algorithm>

namespace {

// The buffer reaches the file at least this often (milliseconds of play), so that little is lost
// even where no signal handler can write it.
constexpr std::int64_t flushEveryMs = 1000;

bool sameFrame(const FrameInput& a, const FrameInput& b) {
    const auto keysA = a.keysDown();
    const auto keysB = b.keysDown();
    return a.ms == b.ms && std::equal(keysA.begin(), keysA.end(), keysB.begin(), keysB.end());
}

} // namespace

Recorder::Recorder(platform::OutputFile& file, std::string_view header) : file_(file) {
    append(header);
    file_.setPending(buffer_.data(), &pending_);
}

Recorder::~Recorder() {
    finish();
    file_.setPending(nullptr, nullptr);
}

void Recorder::startedAt(platform::LocalTime time) {
    std::array<char, script::maxRecordedLineBytes> line{};
    append(std::string_view(line.data(), script::formatLocalTime(line, time)));
}

void Recorder::worldFileRead(std::string_view path, std::string_view bytes) {
    std::array<char, script::maxRecordedLineBytes> line{};
    append(
        std::string_view(line.data(), script::formatWorld(line, path, script::fingerprint(bytes))));
}

void Recorder::worldFileMissing(std::string_view path) {
    std::array<char, script::maxRecordedLineBytes> line{};
    append(std::string_view(line.data(), script::formatMissingWorld(line, path)));
}

void Recorder::frameRead(const FrameInput& input) {
    if (input.click) {
        // Its own line, before the frame's: the frame starts a run of its own.
        std::array<char, script::maxRecordedLineBytes> line{};
        append(std::string_view(line.data(), script::formatClick(line, *input.click)));
    }
    if (runCount_ > 0 && sameFrame(input, run_) && runCount_ < script::maxFrameCount) {
        // The run grows: its line is written again in its place.
        ++runCount_;
        used_ = runStart_;
    } else {
        if (used_ + script::maxRecordedLineBytes > buffer_.size()) {
            flush();
        }
        runStart_ = used_;
        runCount_ = 1;
        run_ = input;
    }
    used_ += script::formatFrames(std::span(buffer_).subspan(used_), runCount_, run_);
    pending_.store(used_, std::memory_order_relaxed);
    if (input.ms < 0 || input.ms >= flushEveryMs - sinceFlushMs_) {
        flush();
    } else {
        sinceFlushMs_ += input.ms;
    }
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
    if (!file_.write(std::string_view(buffer_.data(), n)) && !failed_) {
        failed_ = true;
        if (writeFailed_) {
            writeFailed_();
        }
    }
    used_ = 0;
    runStart_ = 0;
    runCount_ = 0;
    sinceFlushMs_ = 0;
}

bool Recorder::finish() {
    if (finished_) {
        return file_.close();
    }
    finished_ = true;
    // What fails now is said by whoever finishes, once the game is over.
    writeFailed_ = nullptr;
    flush();
    file_.setPending(nullptr, nullptr);
    return file_.close();
}
