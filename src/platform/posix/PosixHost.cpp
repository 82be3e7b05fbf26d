// The POSIX terminal back end: the game draws into a screen model; at the end of each frame the
// model is brought to the terminal as the difference from what the terminal shows, in one write.
// Keys come from the terminal's input, with the keyboard protocol where the terminal speaks it.
#include "Host.h"

#include "Cp437.h"
#include "ScreenModel.h"
#include "posix/ByteBuffer.h"
#include "posix/KeyDecoder.h"
#include "posix/KeyStates.h"
#include "posix/Presenter.h"
#include "posix/TerminalIo.h"

#include <algorithm>
#include <string>

namespace platform {

namespace {

using posix::ByteBuffer;
using posix::InputEvent;
using posix::InputKind;
using posix::KeyAction;
namespace terminal = posix::terminal;

constexpr std::string_view saveTitle = "\x1b[22;0t";
constexpr std::string_view restoreTitle = "\x1b[23;0t";
constexpr std::string_view enterAlternateScreen = "\x1b[?1049h";
constexpr std::string_view leaveAlternateScreen = "\x1b[?1049l";
constexpr std::string_view hideCursor = "\x1b[?25l";
constexpr std::string_view showCursor = "\x1b[?25h";
constexpr std::string_view reportsOn = "\x1b[?1000h\x1b[?1006h\x1b[?1004h";
constexpr std::string_view reportsOff = "\x1b[?1004l\x1b[?1006l\x1b[?1000l";
constexpr std::string_view pushKeyboardFlags = "\x1b[>11u"; // disambiguate, events, all keys
constexpr std::string_view popKeyboardFlags = "\x1b[<u";
constexpr std::string_view resetColours = "\x1b[0m";
constexpr std::string_view keyboardProbe = "\x1b[?u\x1b[c";
// Cancels whatever sequence a signal may have cut short.
constexpr std::string_view cancel = "\x18";

constexpr std::string_view beginUpdate = "\x1b[?2026h";
constexpr std::string_view endUpdate = "\x1b[?2026l";
constexpr std::size_t synchronizedFrameBytes = 1024;

constexpr int probeTimeoutMs = 1000;
// A lone Escape: nothing followed it within this time.
constexpr std::int64_t escapeWaitMs = 25;
// Unfinished sequences are given up after this time.
constexpr std::int64_t sequenceWaitMs = 500;
constexpr int maxReadsPerPoll = 16;

} // namespace

struct Host::Impl final : ConsoleDevice, Keyboard, Clock {
    ScreenModel model;
    posix::Presenter presenter;
    ByteBuffer out{posix::maxPresentBytes};
    posix::KeyDecoder decoder;
    posix::KeyStates keys;
    std::string title;
    bool open = false;
    bool keyboardProtocol = false;
    bool tooSmall = false;
    // The model was drawn into since the last present (a frame with no drawing costs nothing).
    bool changed = true;
    // The window was resized or the game resumed: the size is checked at the next present.
    bool sizeCheckDue = false;
    std::int64_t pendingSinceMs = 0;
    std::int64_t lastReadMs = -1;
    std::array<char, posix::KeyDecoder::maxFeed> input{};

    // ConsoleDevice: every call acts on the model at once.
    void setUp(std::string_view text) override {
        title.clear();
        for (const char c : text) {
            if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) {
                title.push_back(c);
            }
        }
        updateSequences();
        std::string bytes = titleSequence();
        terminal::writeAll(bytes);
    }
    void setCursorPosition(int x, int y) override {
        model.setCursorPosition(x, y);
        changed = true;
    }
    void setCursorVisible(bool visible) override {
        model.setCursorVisible(visible);
        changed = true;
    }
    void setAttribute(std::uint16_t attribute) override { model.setAttribute(attribute); }
    std::uint16_t attribute() const override { return model.attribute(); }
    void fillCharacters(int x, int y, std::uint8_t ch, int count) override {
        model.fillCharacters(x, y, ch, count);
        changed = true;
    }
    void fillAttributes(int x, int y, std::uint16_t attribute, int count) override {
        model.fillAttributes(x, y, attribute, count);
        changed = true;
    }
    void writeText(std::string_view text) override {
        model.writeText(text);
        changed = true;
    }
    void writeGlyphs(std::string_view glyphs) override {
        model.writeGlyphs(glyphs);
        changed = true;
    }
    // The frame's end brings everything to the terminal; nothing to do before.
    void repaint() override {}
    void present() override;

    // Keyboard
    void sample() override;
    bool isDown(int vk) override { return keys.isDown(vk); }

    // Clock
    std::int64_t nowMs() override { return terminal::wallClockMs(); }
    LocalTime localTime() override { return terminal::localTime(); }

    std::string titleSequence() const {
        return title.empty() ? std::string() : "\x1b]0;" + title + "\x07";
    }

    // What takes the terminal (at start and after a resume) and what gives it back.
    std::string enterSequence() const {
        std::string bytes;
        bytes.append(saveTitle).append(enterAlternateScreen).append(hideCursor).append(reportsOn);
        if (keyboardProtocol) {
            bytes.append(pushKeyboardFlags); // the alternate screen has its own stack of flags
        }
        return bytes.append(titleSequence());
    }
    std::string leaveSequence() const {
        std::string bytes;
        if (keyboardProtocol) {
            bytes.append(popKeyboardFlags);
        }
        return bytes.append(reportsOff)
            .append(resetColours)
            .append(showCursor)
            .append(leaveAlternateScreen)
            .append(restoreTitle);
    }
    // The copies the signal handlers write.
    void updateSequences() {
        terminal::setEnterSequence(enterSequence());
        std::string leave(cancel);
        leave.append(leaveSequence());
        terminal::setLeaveSequence(leave);
    }

    bool probeKeyboardProtocol() {
        if (!terminal::writeAll(keyboardProbe)) {
            return false;
        }
        const std::int64_t deadline = terminal::steadyMs() + probeTimeoutMs;
        bool flags = false;
        for (;;) {
            const std::int64_t left = deadline - terminal::steadyMs();
            if (left <= 0 || !terminal::waitForInput(static_cast<int>(left))) {
                return false;
            }
            const std::size_t n = terminal::readAvailable(input.data(), input.size());
            decoder.feed(std::string_view(input.data(), n));
            bool answered = false;
            for (const InputEvent& event : decoder.events()) {
                if (event.kind == InputKind::KeyboardFlags) {
                    flags = !answered;
                } else if (event.kind == InputKind::DeviceAttributes) {
                    answered = true;
                } else {
                    // Typed while the terminal was asked: a key counts at the first poll.
                    handle(event, terminal::steadyMs());
                }
            }
            if (answered) {
                return flags;
            }
        }
    }

    bool start(std::string& error) {
        if (!terminal::inputIsTerminal()) {
            error = "standard input is not a terminal; run Tharvok in a terminal window";
            return false;
        }
        if (!terminal::outputIsTerminal()) {
            error = "standard output is not a terminal; run Tharvok in a terminal window";
            return false;
        }
        terminal::Size size;
        if (terminal::windowSize(size) &&
            (size.columns < screenWidth || size.rows < screenHeight)) {
            error = "the terminal is " + std::to_string(size.columns) + " x " +
                    std::to_string(size.rows) + " characters; Tharvok needs at least " +
                    std::to_string(screenWidth) + " x " + std::to_string(screenHeight) +
                    " (columns x rows)";
            return false;
        }
        updateSequences();
        terminal::installSignalHandlers();
        if (!terminal::enterRawMode()) {
            terminal::removeSignalHandlers();
            error = "the terminal's mode cannot be set";
            return false;
        }
        keyboardProtocol = probeKeyboardProtocol();
        decoder.flush();
        for (const InputEvent& event : decoder.events()) {
            handle(event, terminal::steadyMs());
        }
        decoder.setReportsReleases(keyboardProtocol);
        updateSequences();
        terminal::writeAll(enterSequence());
        open = true;
        return true;
    }

    void presentModel() {
        if (!open || tooSmall || (!changed && !presenter.repaintPending())) {
            return;
        }
        changed = false;
        // A large frame is wrapped in a synchronized update, so that terminals which know it show
        // it at once rather than half drawn (the others ignore the mode).
        out.clear();
        out.append(beginUpdate);
        const std::size_t start = out.size();
        presenter.present(model.cells(), model.cursorX(), model.cursorY(), model.cursorVisible(),
                          out);
        std::string_view frame = out.view().substr(start);
        if (frame.size() >= synchronizedFrameBytes) {
            out.append(endUpdate);
            frame = out.view();
        }
        // A frame that did not fit or did not get through leaves the terminal unknown: the next
        // one draws everything.
        if (out.overflowed() || (!frame.empty() && !terminal::writeAll(frame))) {
            presenter.invalidate();
        }
    }

    void checkSize() {
        terminal::Size size;
        const bool known = terminal::windowSize(size);
        const bool small = known && (size.columns < screenWidth || size.rows < screenHeight);
        presenter.invalidate();
        tooSmall = small;
        if (!small) {
            return;
        }
        // A notice in place of the game, its words wrapped to the width there is.
        const std::string notice =
            "The terminal is " + std::to_string(size.columns) + " x " + std::to_string(size.rows) +
            ". Tharvok needs at least " + std::to_string(screenWidth) + " x " +
            std::to_string(screenHeight) + ": please make the window larger.";
        std::string bytes = "\x1b[0m\x1b[H\x1b[2J";
        std::size_t column = 0;
        int row = 0;
        std::size_t at = 0;
        const auto width = static_cast<std::size_t>(size.columns);
        while (at < notice.size() && row < size.rows) {
            std::size_t end = notice.find(' ', at);
            if (end == std::string::npos) {
                end = notice.size();
            }
            const std::size_t length = std::min(end - at, width);
            if (column != 0 && column + 1 + length > width) {
                bytes.append("\r\n");
                column = 0;
                ++row;
                if (row == size.rows) {
                    break;
                }
            }
            if (column != 0) {
                bytes.push_back(' ');
                ++column;
            }
            bytes.append(notice, at, length);
            column += length;
            at = end == notice.size() ? end : end + 1;
        }
        terminal::writeAll(bytes);
    }

    void handle(const InputEvent& event, std::int64_t nowMs) {
        switch (event.kind) {
        case InputKind::Key:
            switch (event.action) {
            case KeyAction::Stroke:
                keys.stroke(event.vk, nowMs);
                break;
            case KeyAction::Press:
                keys.press(event.vk);
                break;
            case KeyAction::Repeat:
                keys.repeat(event.vk);
                break;
            case KeyAction::Release:
                keys.release(event.vk);
                break;
            }
            break;
        case InputKind::FocusOut:
            keys.releaseAll();
            break;
        case InputKind::Interrupt:
            terminal::interrupt(); // does not return
            break;
        case InputKind::Suspend:
            terminal::suspend();
            break;
        case InputKind::FocusIn:
        case InputKind::KeyboardFlags:
        case InputKind::DeviceAttributes:
            break;
        }
    }

    void close(bool printLastScreen) {
        if (!open) {
            return;
        }
        open = false;
        terminal::writeAll(leaveSequence());
        terminal::restoreMode();
        terminal::removeSignalHandlers();
        if (printLastScreen) {
            std::string text;
            for (int y = 0; y < screenHeight; ++y) {
                std::string line;
                for (int x = 0; x < screenWidth; ++x) {
                    line.append(cp437Utf8(model.cell(x, y).ch).view());
                }
                const std::size_t end = line.find_last_not_of(' ');
                if (end != std::string::npos) {
                    text.append(line, 0, end + 1).append("\r\n");
                }
            }
            terminal::writeAll(text);
        }
    }
};

void Host::Impl::sample() {
    if (!open) {
        return;
    }
    if (terminal::takeResumed()) {
        terminal::reapplyRawMode();
        keys.releaseAll();
        sizeCheckDue = true;
    }
    if (terminal::takeResized()) {
        sizeCheckDue = true;
    }
    const std::int64_t now = terminal::steadyMs();
    // The game polls far more often than keys can change: the terminal is read at most once a
    // millisecond, which spares the system a read per frame.
    const int readsNow = now != lastReadMs ? maxReadsPerPoll : 0;
    lastReadMs = now;
    for (int reads = 0; reads < readsNow; ++reads) {
        const std::size_t n = terminal::readAvailable(input.data(), input.size());
        if (n == 0) {
            break;
        }
        decoder.feed(std::string_view(input.data(), n));
        for (const InputEvent& event : decoder.events()) {
            handle(event, now);
        }
        pendingSinceMs = now;
    }
    if (terminal::hungUp()) {
        terminal::hangUp(); // does not return
    }
    if (decoder.pending()) {
        const std::int64_t wait = decoder.pendingLoneEscape() ? escapeWaitMs : sequenceWaitMs;
        if (now - pendingSinceMs >= wait) {
            decoder.flush();
            for (const InputEvent& event : decoder.events()) {
                handle(event, now);
            }
        }
    }
    keys.poll(now);
}

void Host::Impl::present() {
    if (!open) {
        return;
    }
    if (sizeCheckDue) {
        sizeCheckDue = false;
        checkSize();
    }
    presentModel();
}

Host::Host() : impl_(std::make_unique<Impl>()) {}

Host::~Host() {
    if (impl_) {
        impl_->close(false);
    }
}

bool Host::open(std::string& error) { return impl_->start(error); }

Services Host::services() { return Services{impl_.get(), impl_.get(), impl_.get()}; }

void Host::close(int /*exitStatus*/) { impl_->close(true); }

} // namespace platform
