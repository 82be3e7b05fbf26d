// The POSIX terminal back end: the game draws into a screen model; at the end of each frame the
// model is brought to the terminal as the difference from what the terminal shows, in one write.
// Keys come from the terminal's input, with the keyboard protocol where the terminal speaks it.
// For speech the screen is drawn nowhere: the terminal keeps its normal screen, its colours and
// its cursor, and gets the game's sentences as lines.
#include "Host.h"

#include "Cp437.h"
#include "ScreenModel.h"
#include "VirtualKeys.h"
#include "ansi/ByteBuffer.h"
#include "ansi/Presenter.h"
#include "posix/KeyDecoder.h"
#include "posix/KeyStates.h"
#include "posix/TerminalIo.h"

#include <algorithm>
#include <optional>
#include <string>

namespace platform {

namespace {

using ansi::ByteBuffer;
using posix::InputEvent;
using posix::InputKind;
namespace terminal = posix::terminal;

constexpr std::string_view saveTitle = "\x1b[22;0t";
constexpr std::string_view restoreTitle = "\x1b[23;0t";
constexpr std::string_view enterAlternateScreen = "\x1b[?1049h";
constexpr std::string_view leaveAlternateScreen = "\x1b[?1049l";
constexpr std::string_view hideCursor = "\x1b[?25l";
constexpr std::string_view showCursor = "\x1b[?25h";
constexpr std::string_view focusReportsOn = "\x1b[?1004h";
constexpr std::string_view focusReportsOff = "\x1b[?1004l";
constexpr std::string_view mouseReportsOn = "\x1b[?1000h\x1b[?1006h";
constexpr std::string_view mouseReportsOff = "\x1b[?1006l\x1b[?1000l";
constexpr std::string_view pushKeyboardFlags = "\x1b[>11u"; // disambiguate, events, all keys
constexpr std::string_view popKeyboardFlags = "\x1b[<u";
constexpr std::string_view resetColours = "\x1b[0m";
constexpr std::string_view keyboardProbe = "\x1b[?u\x1b[c";
// Cancels whatever sequence a signal may have cut short.
constexpr std::string_view cancel = "\x18";

constexpr int probeTimeoutMs = 1000;
// A lone Escape: nothing followed it within this time.
constexpr std::int64_t escapeWaitMs = 25;
// Unfinished sequences are given up after this time.
constexpr std::int64_t sequenceWaitMs = 500;
constexpr int maxReadsPerPoll = 16;
// How long a poll of the keys waits for the terminal when nothing has arrived.
constexpr int idleWaitMs = 2;
// How long a terminal asked to grow is given to do it, and how often its size is looked at.
constexpr int growWaitMs = 300;
constexpr int growCheckMs = 10;

using Size = terminal::Size;

bool smallerThanScreen(const Size& size) {
    return size.columns < screenWidth || size.rows < screenHeight;
}

// Asks the terminal to make its window this size (several terminals do, many ignore it).
std::string resizeRequest(const Size& size) {
    return "\x1b[8;" + std::to_string(size.rows) + ";" + std::to_string(size.columns) + "t";
}

bool isMouseButton(std::int32_t code) {
    return code == vk::leftButton || code == vk::rightButton || code == vk::middleButton ||
           code == vk::extraButton1 || code == vk::extraButton2;
}

} // namespace

struct Host::Impl final : ConsoleDevice, Keyboard, Clock {
    ScreenModel model;
    ansi::Presenter presenter;
    ByteBuffer out{ansi::maxPresentBytes};
    posix::KeyDecoder decoder;
    posix::KeyStates keys;
    std::string title;
    bool open = false;
    // The game is heard, not seen: the model is drawn nowhere and the terminal keeps its screen.
    bool speaking = false;
    bool keyboardProtocol = false;
    // A binding uses a mouse button: the terminal reports the mouse.
    bool mouseReports = false;
    // The window is smaller than the screen: a notice stands in for the game, which sees every
    // key up and no time passing until the window is large enough again.
    bool tooSmall = false;
    // The game's clock: the wall clock less the time spent behind the notice; it holds still at
    // `lastNowMs` while the notice is up.
    std::int64_t heldMs = 0;
    std::int64_t heldSinceMs = 0;
    std::int64_t lastNowMs = 0;
    // The window's size before the game asked it to grow, to be asked back at the end; only
    // while the window has the size it grew to (a size the user chose since is theirs to keep).
    std::optional<Size> sizeToRestore;
    Size grownSize;
    // The model was drawn into since the last present (a frame with no drawing costs nothing).
    bool changed = true;
    // The window was resized or the game resumed: the size is checked at the next present.
    bool sizeCheckDue = false;
    std::int64_t pendingSinceMs = 0;
    std::array<char, posix::KeyDecoder::maxFeed> input_{};

    // ConsoleDevice: every call acts on the model at once.
    void setUp(std::string_view text) override {
        title.clear();
        for (const char c : text) {
            if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) {
                title.push_back(c);
            }
        }
        if (speaking) {
            return;
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
    void present() override;

    // Keyboard
    InputStatus sample() override;
    bool isDown(int vk) override { return keys.isDown(vk); }
    void useKeys(std::span<const std::int32_t> codes) override {
        const bool wanted = std::any_of(codes.begin(), codes.end(), isMouseButton);
        if (wanted == mouseReports) {
            return;
        }
        mouseReports = wanted;
        updateSequences();
        if (open) {
            terminal::writeAll(wanted ? mouseReportsOn : mouseReportsOff);
        }
    }

    // Clock
    std::int64_t nowMs() override {
        if (!tooSmall) {
            lastNowMs = terminal::wallClockMs() - heldMs;
        }
        return lastNowMs;
    }
    LocalTime localTime() override { return terminal::localTime(); }

    std::string titleSequence() const {
        return title.empty() ? std::string() : "\x1b]0;" + title + "\x07";
    }

    // What takes the terminal (at start and after a resume) and what gives it back.
    std::string enterSequence() const {
        std::string bytes;
        if (speaking) {
            bytes.append(focusReportsOn);
            if (mouseReports) {
                bytes.append(mouseReportsOn);
            }
            return keyboardProtocol ? bytes.append(pushKeyboardFlags) : bytes;
        }
        bytes.append(saveTitle)
            .append(enterAlternateScreen)
            .append(hideCursor)
            .append(focusReportsOn);
        if (mouseReports) {
            bytes.append(mouseReportsOn);
        }
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
        if (mouseReports) {
            bytes.append(mouseReportsOff);
        }
        if (speaking) {
            return bytes.append(focusReportsOff);
        }
        bytes.append(focusReportsOff)
            .append(resetColours)
            .append(showCursor)
            .append(leaveAlternateScreen)
            .append(restoreTitle);
        return bytes;
    }
    // What follows when the game ends (a suspend keeps the window as it is).
    std::string endSequence() const {
        return sizeToRestore ? resizeRequest(*sizeToRestore) : std::string();
    }
    // The copies the signal handlers write.
    void updateSequences() {
        terminal::setEnterSequence(enterSequence());
        std::string leave(cancel);
        leave.append(leaveSequence());
        terminal::setLeaveSequence(leave);
        terminal::setEndSequence(endSequence());
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
            const std::size_t n = terminal::readAvailable(input_.data(), input_.size());
            decoder.feed(std::string_view(input_.data(), n));
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

    bool start(std::string& error, bool speech) {
        speaking = speech;
        if (!terminal::inputIsTerminal()) {
            error = "standard input is not a terminal; run Tharvok in a terminal window";
            return false;
        }
        if (!terminal::outputIsTerminal()) {
            error = "standard output is not a terminal; run Tharvok in a terminal window";
            return false;
        }
        Size size;
        if (!speaking && terminal::windowSize(size) && smallerThanScreen(size)) {
            size = grow(size);
            if (smallerThanScreen(size)) {
                giveSizeBack();
                error = "the terminal is " + std::to_string(size.columns) + " x " +
                        std::to_string(size.rows) + " characters; Tharvok needs at least " +
                        std::to_string(screenWidth) + " x " + std::to_string(screenHeight) +
                        " (columns x rows)";
                return false;
            }
        }
        updateSequences();
        terminal::installSignalHandlers();
        if (!terminal::enterRawMode()) {
            terminal::removeSignalHandlers();
            giveSizeBack();
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
        sizeCheckDue = !speaking; // places the screen in the window
        return true;
    }

    // Asks a window smaller than the screen to grow to at least its size, keeping a larger width
    // or height, and gives it a moment to do so. The size it has then.
    Size grow(const Size& size) {
        const Size wanted{std::max(size.columns, screenWidth), std::max(size.rows, screenHeight)};
        if (!terminal::writeAll(resizeRequest(wanted))) {
            return size;
        }
        Size now = size;
        const std::int64_t deadline = terminal::steadyMs() + growWaitMs;
        while (terminal::steadyMs() < deadline) {
            terminal::sleepMs(growCheckMs);
            if (terminal::windowSize(now) && !smallerThanScreen(now)) {
                break;
            }
        }
        if (now != size) {
            sizeToRestore = size;
            grownSize = now;
        }
        return now;
    }

    // Asks for the window's size before the game made it grow, when it still has the size it grew
    // to (for the exits where the terminal was not taken).
    void giveSizeBack() {
        if (sizeToRestore) {
            terminal::writeAll(resizeRequest(*sizeToRestore));
            sizeToRestore.reset();
        }
    }

    void presentModel() {
        if (!open || tooSmall || (!changed && !presenter.repaintPending())) {
            return;
        }
        changed = false;
        const std::string_view frame = presenter.presentFrame(model, out);
        // A frame that did not fit or did not get through leaves the terminal unknown: the next
        // one draws everything.
        if (out.overflowed() || (!frame.empty() && !terminal::writeAll(frame))) {
            presenter.invalidate();
        }
    }

    void checkSize() {
        Size size;
        const bool known = terminal::windowSize(size);
        const bool small = known && smallerThanScreen(size);
        if (sizeToRestore && known && size != grownSize) {
            sizeToRestore.reset();
            updateSequences();
        }
        presenter.invalidate();
        setTooSmall(small);
        if (!small) {
            presenter.placeIn(known ? size.columns : screenWidth, known ? size.rows : screenHeight);
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

    // Puts the notice up (the game's keys and clock stand still) or takes it down.
    void setTooSmall(bool small) {
        if (small == tooSmall) {
            return;
        }
        if (small) {
            heldSinceMs = terminal::steadyMs();
        } else {
            heldMs += terminal::steadyMs() - heldSinceMs;
        }
        tooSmall = small;
        keys.setMuted(small);
    }

    void handle(const InputEvent& event, std::int64_t nowMs) {
        switch (event.kind) {
        case InputKind::Key:
            keys.take(event.action, event.vk, nowMs);
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
        terminal::writeAll(leaveSequence() + endSequence());
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

InputStatus Host::Impl::sample() {
    if (!open) {
        return InputStatus::Keys;
    }
    if (terminal::takeResumed()) {
        terminal::reapplyRawMode();
        keys.releaseAll();
        sizeCheckDue = true;
    }
    if (terminal::takeResized()) {
        sizeCheckDue = true;
    }
    // An idle game rests here: the terminal is given up to 2 ms to say something, and input (Ctrl-C
    // and Ctrl-Z included, in raw mode) or a handled signal wakes it at once.
    const bool input = terminal::waitForInput(idleWaitMs);
    const std::int64_t now = terminal::steadyMs();
    for (int reads = 0; input && reads < maxReadsPerPoll; ++reads) {
        const std::size_t n = terminal::readAvailable(input_.data(), input_.size());
        if (n == 0) {
            break;
        }
        decoder.feed(std::string_view(input_.data(), n));
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
    return InputStatus::Keys;
}

void Host::Impl::present() {
    if (!open || speaking) {
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

bool Host::open(std::string& error, HostMode mode) {
    return impl_->start(error, mode == HostMode::Speech);
}

Services Host::services() { return Services{impl_.get(), impl_.get(), impl_.get()}; }

void Host::close(int exitStatus) {
    // Heard, the game leaves the screen as it was, unless a message says why it could not start.
    impl_->close(!impl_->speaking || (exitStatus != 0 && exitStatus < 128));
}

void Host::say(std::string_view sentence) {
    if (impl_->open) {
        std::string line(sentence);
        terminal::writeAll(line.append("\r\n"));
    }
}

} // namespace platform
