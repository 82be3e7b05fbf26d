// The browser back end: the game draws into a screen model; at the end of each frame the cells
// that changed are handed to the page's painter (page.js), which draws them on a canvas. Keys come
// from the page's key events by virtual-key code, the clocks from the browser; the touch controls,
// taps and clicks on the screen come through the functions exported at the end of this file, by
// which a test drives the page too. Where the page has room for part of the screen only, the
// terminal's view (ansi::View) keeps the focus the game hands down in sight, and the page is told
// which part to show.
#include "Host.h"

#include "Cp437.h"
#include "KeyLatch.h"
#include "ModelConsole.h"
#include "ScreenText.h"
#include "ansi/View.h"
#include "web/FrameLoop.h"

#include <emscripten/emscripten.h>
#include <emscripten/eventloop.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>

// The page's side, in page.js.
extern "C" {
void tharvok_page_open();
void tharvok_page_title(const char* title);
// `cells` holds `count` pairs: the cell's index with its attribute in bits 16-23, and the Unicode
// code point of its glyph.
void tharvok_page_draw(const std::uint32_t* cells, int count, int cursorX, int cursorY,
                       int cursorVisible);
void tharvok_page_close(int playAgain);
// One sentence for the page's log of what the game says.
void tharvok_page_say(const char* sentence);
// The part of the screen the page shows where it is too small for the whole: its top-left cell
// and its size in cells (the whole screen when it shows all of it).
void tharvok_page_view(int x, int y, int width, int height);
}

namespace platform {

namespace {

// The clocks a test sets: while set, the wall clock stands still at what the test said and
// frames run only when the test steps them.
struct TestClock {
    bool wallClockSet = false;
    bool localTimeSet = false;
    std::int64_t wallClockMs = 0;
    LocalTime localTime;
};
TestClock testClock;

web::FrameFunction frameFunction = nullptr;
web::WaitFunction waitFunction = nullptr;
double framesRun = 0;
// An animation frame has been asked for; a timer will ask for one.
bool frameRequested = false;
long waitTimer = 0;
// A wait this short is no rest: the next animation frame comes about as soon.
constexpr std::int64_t busyWaitMs = 16;

bool runOneFrame() {
    if (frameFunction == nullptr) {
        return false;
    }
    ++framesRun;
    if (!frameFunction()) {
        frameFunction = nullptr;
        return false;
    }
    return true;
}

EM_BOOL onAnimationFrame(double /*time*/, void* /*user*/);

// Asks for the next animation frame, unless one is asked for already or a test steps the frames.
void requestFrame() {
    if (frameFunction == nullptr || frameRequested || testClock.wallClockSet) {
        return;
    }
    if (waitTimer != 0) {
        emscripten_clear_timeout(waitTimer);
        waitTimer = 0;
    }
    frameRequested = true;
    emscripten_request_animation_frame(onAnimationFrame, nullptr);
}

void onWaitOver(void* /*user*/) {
    waitTimer = 0;
    requestFrame();
}

EM_BOOL onAnimationFrame(double /*time*/, void* /*user*/) {
    frameRequested = false;
    if (testClock.wallClockSet || !runOneFrame()) {
        return EM_FALSE;
    }
    const std::int64_t wait = waitFunction();
    if (wait >= 0 && wait <= busyWaitMs) {
        requestFrame();
    } else if (wait > busyWaitMs) {
        waitTimer = emscripten_set_timeout(onWaitOver, static_cast<double>(wait), nullptr);
    }
    return EM_FALSE;
}

// The Windows virtual-key code of a key event: browsers give it as the event's keyCode, except
// Firefox for three punctuation keys.
int virtualKey(const EmscriptenKeyboardEvent& event) {
    switch (event.keyCode) {
    case 59:
        return 186; // ;
    case 61:
        return 187; // =
    case 173:
        return 189; // -
    default:
        return event.keyCode < 256 ? static_cast<int>(event.keyCode) : 0;
    }
}

// The page: console, keyboard and clock.
struct WebPage final : ModelConsole, Keyboard, Clock {
    // What the page shows.
    std::array<Cell, screenCellCount> shown{};
    int shownCursorX = 0;
    int shownCursorY = 0;
    bool shownCursorVisible = false;
    bool shownNothing = true;
    std::array<std::uint32_t, 2 * (screenCellCount + 2)> batch{};
    std::string title;
    // What a view smaller than the screen must keep in sight, as the game said last.
    Focus viewFocus;
    bool open = false;

    // The part of the screen shown where the page is too small for the whole of it.
    ansi::View view;
    // Keys of the keyboard and of the touch controls, bound or not.
    KeyLatch keys;
    // A touch control that taps: a touch is one press at once; still down after holdAfterMs it
    // presses its key again and holds it until the finger lifts.
    static constexpr std::int64_t holdAfterMs = 200;
    std::array<bool, 256> touching{};
    std::array<bool, 256> holding{};
    std::array<std::int64_t, 256> touchedAtMs{};
    // The cell last tapped or clicked since the last sample, and the one the frame reads.
    std::optional<ScreenPoint> tapped;
    std::optional<ScreenPoint> click;
    // The keys the game reads: the browser's own use of them (scrolling, moving the focus, help)
    // is held back.
    std::array<bool, 256> read{};

    // The console: the game draws into the model; the title goes to the page.
    void setUp(std::string_view text) override {
        title.assign(text);
        tharvok_page_title(title.c_str());
    }
    void setFocus(const Focus& focus) override { viewFocus = focus; }
    void present() override;

    // Keyboard
    InputStatus sample() override {
        const std::int64_t now = nowMs();
        for (int vk = 1; vk < 256; ++vk) {
            const auto k = static_cast<std::size_t>(vk);
            if (touching[k] && !holding[k] && now - touchedAtMs[k] >= holdAfterMs) {
                holding[k] = true;
                keys.set(vk, true);
            }
        }
        keys.poll();
        click = tapped;
        tapped.reset();
        return InputStatus::Keys;
    }
    // A touch not yet held keeps the frames coming until it is.
    std::int64_t pendingTimerMs() const override {
        std::int64_t wait = -1;
        const std::int64_t now = currentMs();
        for (std::size_t k = 0; k < touching.size(); ++k) {
            if (touching[k] && !holding[k]) {
                const std::int64_t left =
                    std::max<std::int64_t>(0, touchedAtMs[k] + holdAfterMs - now);
                wait = wait < 0 ? left : std::min(wait, left);
            }
        }
        return wait;
    }
    std::optional<ScreenPoint> clicked() const override { return click; }
    std::int32_t keyWentDown() const override { return keys.wentDown(); }
    // The bound keys are the game's from the start, before any frame has read them.
    void useKeys(std::span<const std::int32_t> codes) override {
        for (const std::int32_t code : codes) {
            if (code > 0 && code < 256) {
                read[static_cast<std::size_t>(code)] = true;
            }
        }
    }
    bool isDown(int vk) override {
        if (vk <= 0 || vk >= 256) {
            return false;
        }
        read[static_cast<std::size_t>(vk)] = true;
        return keys.isDown(vk);
    }

    // Clock
    std::int64_t nowMs() override { return currentMs(); }
    static std::int64_t currentMs() {
        return testClock.wallClockSet ? testClock.wallClockMs
                                      : static_cast<std::int64_t>(emscripten_date_now());
    }
    LocalTime localTime() override {
        if (testClock.localTimeSet) {
            return testClock.localTime;
        }
        const std::time_t now = std::time(nullptr);
        const std::tm* local = std::localtime(&now);
        return local ? LocalTime{local->tm_hour, local->tm_min, local->tm_sec} : LocalTime{};
    }

    void releaseAll() {
        keys.clear();
        touching.fill(false);
        holding.fill(false);
    }

    // A key of the keyboard or of the page's touch controls went down or up.
    void press(int vk, bool pressed) {
        if (!open || !KeyLatch::valid(vk)) {
            return;
        }
        keys.set(vk, pressed);
        // A key (or a touch) wakes a resting page.
        requestFrame();
    }

    // A finger went down on a touch control that taps, or came up.
    void touch(int vk, bool down) {
        if (!open || !KeyLatch::valid(vk)) {
            return;
        }
        const auto k = static_cast<std::size_t>(vk);
        if (down && !touching[k]) {
            touching[k] = true;
            touchedAtMs[k] = currentMs();
            if (!keys.down(vk)) {
                keys.set(vk, true);
                keys.set(vk, false);
            }
        } else if (!down && touching[k]) {
            touching[k] = false;
            if (holding[k]) {
                holding[k] = false;
                keys.set(vk, false);
            }
        }
        requestFrame();
    }

    // A tap or a click on the screen's cell x, y; none outside the screen.
    void tap(int x, int y) {
        if (open && x >= 0 && x < screenWidth && y >= 0 && y < screenHeight) {
            tapped = ScreenPoint{x, y};
            requestFrame();
        }
    }

    // The page shows `width` x `height` cells of the screen (0: the whole screen).
    void showView(int width, int height) {
        view.resize(width > 0 ? width : screenWidth, width > 0 ? height : screenHeight);
        view.follow(viewFocus);
        tellView();
    }
    void tellView() {
        const Area& area = view.area();
        tharvok_page_view(area.x, area.y, area.width, area.height);
    }

    // True when the page should not act on the key itself.
    bool key(const EmscriptenKeyboardEvent& event, bool pressed) {
        const int vk = virtualKey(event);
        press(vk, pressed);
        return open && vk > 0 && read[static_cast<std::size_t>(vk)] && !event.ctrlKey &&
               !event.altKey && !event.metaKey;
    }

    static EM_BOOL onKey(int type, const EmscriptenKeyboardEvent* event, void* user) {
        return static_cast<WebPage*>(user)->key(*event, type == EMSCRIPTEN_EVENT_KEYDOWN)
                   ? EM_TRUE
                   : EM_FALSE;
    }
    static EM_BOOL onFocus(int type, const EmscriptenFocusEvent* /*event*/, void* user) {
        if (type == EMSCRIPTEN_EVENT_BLUR) {
            static_cast<WebPage*>(user)->releaseAll();
        }
        requestFrame();
        return EM_FALSE;
    }
    static EM_BOOL onVisibilityChange(int /*type*/, const EmscriptenVisibilityChangeEvent* event,
                                      void* user) {
        if (event->hidden) {
            static_cast<WebPage*>(user)->releaseAll();
        }
        requestFrame();
        return EM_FALSE;
    }

    void start() {
        tharvok_page_open();
        emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, onKey);
        emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, onKey);
        emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, onFocus);
        emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, onFocus);
        emscripten_set_visibilitychange_callback(this, EM_TRUE, onVisibilityChange);
        open = true;
    }

    void stop(bool playAgain) {
        if (!open) {
            return;
        }
        present();
        open = false;
        releaseAll();
        tharvok_page_close(playAgain ? 1 : 0);
    }
};

void WebPage::present() {
    if (!open) {
        return;
    }
    if (view.follow(viewFocus)) {
        tellView();
    }
    const ScreenModel& model = this->model();
    const auto& cells = model.cells();
    std::size_t n = 0;
    const auto add = [&](int index) {
        const Cell& cell = cells[static_cast<std::size_t>(index)];
        batch[n++] = static_cast<std::uint32_t>(index) |
                     static_cast<std::uint32_t>(cell.attribute & 0xFF) << 16;
        batch[n++] = static_cast<std::uint32_t>(cp437CodePoint(cell.ch));
    };
    for (int i = 0; i < screenCellCount; ++i) {
        if (shownNothing ||
            cells[static_cast<std::size_t>(i)] != shown[static_cast<std::size_t>(i)]) {
            add(i);
        }
    }
    const bool cursorMoved = model.cursorX() != shownCursorX || model.cursorY() != shownCursorY ||
                             model.cursorVisible() != shownCursorVisible;
    if (cursorMoved && !shownNothing) {
        // The cells under the old and the new cursor are painted again, without and with it.
        add(shownCursorY * screenWidth + shownCursorX);
        add(model.cursorY() * screenWidth + model.cursorX());
    }
    shown = cells;
    shownCursorX = model.cursorX();
    shownCursorY = model.cursorY();
    shownCursorVisible = model.cursorVisible();
    shownNothing = false;
    if (n > 0) {
        tharvok_page_draw(batch.data(), static_cast<int>(n / 2), shownCursorX, shownCursorY,
                          shownCursorVisible ? 1 : 0);
    }
}

// The page the game was last opened on, for the touch controls and the test's look at the screen.
WebPage* openPage = nullptr;

} // namespace

struct Host::Impl {
    WebPage page;
};

Host::Host() : impl_(std::make_unique<Impl>()) {}

Host::~Host() {
    if (openPage == &impl_->page) {
        openPage = nullptr;
    }
}

bool Host::open(std::string& /*error*/, HostMode /*mode*/) {
    impl_->page.start();
    openPage = &impl_->page;
    return true;
}

Services Host::services() { return Services{&impl_->page, &impl_->page, &impl_->page}; }

void Host::say(std::string_view sentence) { tharvok_page_say(std::string(sentence).c_str()); }

// After a quit the farewell stays, with the line to play again under it; after a failed start
// only the message stays.
void Host::close(int exitStatus) { impl_->page.stop(exitStatus == 0); }

void web::runFrames(FrameFunction frame, WaitFunction wait) {
    frameFunction = frame;
    waitFunction = wait;
    // The first frame comes at the first key: the screen the game starts on is drawn already.
    if (wait() >= 0) {
        requestFrame();
    }
}

} // namespace platform

// What a test of the page calls (from the browser's developer tools protocol).
extern "C" {

// Stops the wall clock at `ms` (milliseconds since 1970); from now on frames run only when
// stepped. Called before the program starts and before each step.
EMSCRIPTEN_KEEPALIVE void tharvok_set_wall_clock(double ms) {
    platform::testClock.wallClockSet = true;
    platform::testClock.wallClockMs = static_cast<std::int64_t>(ms);
}

// The local time of day the game starts its day clock from.
EMSCRIPTEN_KEEPALIVE void tharvok_set_local_time(int hour, int minute, int second) {
    platform::testClock.localTimeSet = true;
    platform::testClock.localTime = {hour, minute, second};
}

// A key of the page's touch controls went down (`pressed` 1) or up (0).
EMSCRIPTEN_KEEPALIVE void tharvok_key(int vk, int pressed) {
    if (platform::openPage != nullptr) {
        platform::openPage->press(vk, pressed != 0);
    }
}

// A finger went down (`down` 1) or up (0) on a touch control that taps: one press at once, and
// held from holdAfterMs on.
EMSCRIPTEN_KEEPALIVE void tharvok_touch(int vk, int down) {
    if (platform::openPage != nullptr) {
        platform::openPage->touch(vk, down != 0);
    }
}

// A tap or a click on the screen's cell x, y.
EMSCRIPTEN_KEEPALIVE void tharvok_click(int x, int y) {
    if (platform::openPage != nullptr) {
        platform::openPage->tap(x, y);
    }
}

// The page has room for `width` x `height` cells of the screen; 0 x 0 shows the whole screen.
EMSCRIPTEN_KEEPALIVE void tharvok_view(int width, int height) {
    if (platform::openPage != nullptr) {
        platform::openPage->showView(width, height);
    }
}

// Runs one frame, as an animation frame would; 0 once the game has ended.
EMSCRIPTEN_KEEPALIVE int tharvok_step() { return platform::runOneFrame() ? 1 : 0; }

// Frames run since the page was loaded.
EMSCRIPTEN_KEEPALIVE double tharvok_frame_count() { return platform::framesRun; }

// The screen model as text: 25 lines of 80 glyphs in UTF-8 (`attributes`: 0) or of the cells'
// foreground colours as hexadecimal digits (1), then the cursor's line: "cursor X Y visible" or
// "... hidden". Empty before the program has opened the page.
EMSCRIPTEN_KEEPALIVE const char* tharvok_screen(int attributes) {
    static std::string text;
    text.clear();
    const platform::WebPage* host = platform::openPage;
    if (host == nullptr) {
        return text.c_str();
    }
    const platform::ScreenModel& model = host->model();
    text = attributes != 0 ? platform::screenColours(model.cells())
                           : platform::screenText(model.cells());
    text.append(platform::cursorText(model.cursorX(), model.cursorY(), model.cursorVisible()));
    return text.c_str();
}
}
