#include "Runner.h"

#include "PlayedWith.h"
#include "SvgScreen.h"

#include "platform/ScreenText.h"

#include <algorithm>
#include <ostream>
#include <utility>

namespace replay {

namespace {

std::string slashed(std::string_view path) {
    std::string text(path);
    std::replace(text.begin(), text.end(), '\\', '/');
    return text;
}

} // namespace

Runner::Runner(const Options& options, Start start, ReplayConsole& console, std::ostream& out,
               std::string& messages, Asciicast* cast)
    : options_(options), console_(console), out_(out), messages_(messages), cast_(cast),
      data_(start.data),
      headless_(console.device(), std::move(start.data), start.localTime, std::move(start.config)) {
    headless_.game().observeInputs(this);
    // The runner always listens: `said` prints what the game said. A script that never prints
    // it keeps no more than the newest sentences.
    started_ = headless_.start(true);
    Speech& speech = headless_.game().speech();
    for (std::string& sentence : speech.take()) {
        keep(std::move(sentence));
    }
    speech.listen([this](const std::string& sentence) { keep(sentence); });
    record();
}

bool Runner::run(const script::Command& command, std::string& failure) {
    using script::CommandKind;
    switch (command.kind) {
    case CommandKind::Frames:
        for (long long n = 0; n < command.count && headless_.game().running(); ++n) {
            // The frame of a quit draws the farewell: the screen before it is the last one.
            const bool keepScreen =
                !options_.finalScreenPath.empty() && headless_.game().state() != GameState::Quit;
            std::optional<Snapshot> before;
            if (keepScreen) {
                before = console_.snapshot();
            }
            // A click line's click goes to the first frame after it.
            FrameInput input = command.frame;
            input.click = std::exchange(click_, std::nullopt);
            headless_.frame(input);
            if (keepScreen && headless_.game().state() == GameState::Quit) {
                beforeEnd_ = std::move(before);
            }
            // The recording's clock is the script's, never going back.
            elapsedMs_ =
                std::min(elapsedMs_ + std::max<long long>(command.frame.ms, 0), maxElapsedMs);
            record();
        }
        return true;
    case CommandKind::Screen:
        out_ << platform::screenText(console_.snapshot().cells);
        break;
    case CommandKind::Attrs:
        out_ << platform::screenColours(console_.snapshot().cells);
        break;
    case CommandKind::Cursor: {
        const Snapshot shot = console_.snapshot();
        out_ << platform::cursorText(shot.cursorX, shot.cursorY, shot.cursorVisible);
        break;
    }
    case CommandKind::Svg: {
        const std::filesystem::path file =
            std::filesystem::path(options_.svgDir) / (command.text + ".svg");
        return writeSvgScreen(file, console_.snapshot().cells, failure);
    }
    case CommandKind::Said:
        if (dropped_ > 0 && !toldDropped_) {
            toldDropped_ = true;
            messages_ += "tharvok-replay: warning: 'said' keeps the newest " +
                         std::to_string(maxKeptSentences) +
                         " sentences: " + std::to_string(dropped_) +
                         " older ones were not printed\n";
        }
        for (const std::string& sentence : said_) {
            out_ << sentence << '\n';
        }
        said_.clear();
        dropped_ = 0;
        break;
    case CommandKind::World:
        checkWorld(command);
        return true;
    case CommandKind::Click:
        click_ = command.frame.click;
        return true;
    case CommandKind::LocalTime:
    case CommandKind::Data:
    case CommandKind::Config:
    case CommandKind::ConfigLine:
        return true; // taken before the game started
    }
    return static_cast<bool>(out_.flush());
}

Snapshot Runner::finalScreen() { return beforeEnd_ ? *beforeEnd_ : console_.snapshot(); }

void Runner::worldFileRead(std::string_view path, std::string_view bytes) {
    read_.insert_or_assign(slashed(path), script::fingerprint(bytes));
}

void Runner::worldFileMissing(std::string_view path) {
    read_.insert_or_assign(slashed(path), std::nullopt);
}

void Runner::checkWorld(const script::Command& command) {
    const std::string path = slashed(command.text);
    // What this replay met of the file last: nothing, a file it could not read, or its bytes.
    const auto read = read_.find(path);
    const bool lookedFor = read != read_.end();
    const bool readHere = lookedFor && read->second.has_value();
    const bool same =
        command.missing ? lookedFor && !readHere : readHere && *read->second == command.print;
    if (same) {
        return;
    }
    worldsDiffered_ = true;
    if (!warned_.insert(path).second) {
        return;
    }
    const char* difference =
        !command.missing
            ? (!lookedFor ? "read when the game was recorded, but not here"
               : readHere ? "differs from the file the game read when it was recorded"
                          : "read when the game was recorded, but cannot be read here")
            : (!lookedFor ? "could not be read when the game was recorded, and was not looked "
                            "for here"
                          : "could not be read when the game was recorded, but is read here");
    messages_ +=
        worldMessage(data_, path, "warning",
                     std::string(difference) + ": the replay may not be the game that was played");
}

void Runner::keep(std::string sentence) {
    if (said_.size() == maxKeptSentences) {
        said_.pop_front();
        ++dropped_;
    }
    said_.push_back(std::move(sentence));
}

void Runner::record() {
    if (cast_ != nullptr) {
        const Snapshot shot = console_.snapshot();
        cast_->frame(elapsedMs(), shot.cells, shot.cursorX, shot.cursorY, shot.cursorVisible);
    }
}

} // namespace replay
