// What frames cost on the virtual console, on the shipped worlds: an idle frame in play (the
// common case: nothing to draw; also with the game recorded), a full map draw, a title screen
// redraw and a link jump (both world files read, the new world drawn). Each reports, beside its
// time, the heap allocations and the console calls of one iteration.
#include "config/ConfigFile.h"
#include "config/KeyBindings.h"
#include "core/Console.h"
#include "headless/HeadlessGame.h"
#include "menu/MainMenu.h"
#include "menu/TitleScreen.h"
#include "platform/OutputFile.h"
#include "platform/VirtualKeys.h"
#include "render/MapView.h"
#include "replay/Recorder.h"
#include "support/AllocationCount.h"
#include "world/World.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>

namespace {

const std::filesystem::path dataFolder = THARVOK_DATA_DIR;

// The game on the shipped worlds; false (and the benchmark skipped) when they do not load.
bool started(HeadlessGame& headless, benchmark::State& state) {
    if (headless.start()) {
        return true;
    }
    state.SkipWithError("the shipped start world did not load");
    return false;
}

// Counts the allocations and console calls of the iterations between construction and report().
class Costs {
public:
    explicit Costs(HeadlessGame& headless)
        : console_(*headless.virtualConsole()), allocations_(testsupport::allocationCount()),
          calls_(console_.callCount()) {}
    void report(benchmark::State& state) const {
        const double n = static_cast<double>(state.iterations());
        state.counters["allocs"] =
            static_cast<double>(testsupport::allocationCount() - allocations_) / n;
        state.counters["calls"] = static_cast<double>(console_.callCount() - calls_) / n;
    }

private:
    platform::VirtualConsole& console_;
    std::uint64_t allocations_;
    std::uint64_t calls_;
};

void idleFrameInPlay(benchmark::State& state) {
    HeadlessGame headless(dataFolder);
    if (!started(headless, state)) {
        return;
    }
    headless.frame(1, {platform::vk::enter});
    headless.frame(1);
    const Costs costs(headless);
    for (auto _ : state) {
        headless.frame(1);
    }
    costs.report(state);
}
BENCHMARK(idleFrameInPlay);

#if !defined(_WIN32)
// The same with the game recorded (to /dev/null): a frame adds an append to the recording.
void idleFrameRecorded(benchmark::State& state) {
    platform::VirtualConsole console;
    platform::ScriptedKeyboard keyboard;
    platform::ManualClock clock;
    platform::OutputFile file;
    std::string error;
    if (!file.open("/dev/null", error)) {
        state.SkipWithError("/dev/null cannot be written");
        return;
    }
    Recorder recorder(file, "# benchmark\n");
    Game game(platform::Services{&console, &keyboard, &clock}, dataFolder);
    game.observeInputs(&recorder);
    if (!game.init(readKeyBindings(dataFolder / configFileName))) {
        state.SkipWithError("the shipped start world did not load");
        return;
    }
    game.startLoop();
    auto frame = [&](int key) {
        clock.advance(1);
        keyboard.releaseAll();
        keyboard.setDown(key, true);
        game.runFrame();
    };
    frame(platform::vk::enter);
    frame(0);
    const std::uint64_t allocations = testsupport::allocationCount();
    const std::uint64_t calls = console.callCount();
    for (auto _ : state) {
        // Frames that differ, so that each adds a line rather than counting up a run.
        clock.advance(static_cast<std::int64_t>(state.iterations() % 2));
        keyboard.releaseAll();
        game.runFrame();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["allocs"] =
        static_cast<double>(testsupport::allocationCount() - allocations) / n;
    state.counters["calls"] = static_cast<double>(console.callCount() - calls) / n;
}
BENCHMARK(idleFrameRecorded);
#endif

void fullMapDraw(benchmark::State& state) {
    HeadlessGame headless(dataFolder);
    if (!started(headless, state)) {
        return;
    }
    const WorldMap& map = headless.game().world().map();
    Console console(*headless.virtualConsole());
    const Costs costs(headless);
    for (auto _ : state) {
        drawMap(console, map);
    }
    costs.report(state);
}
BENCHMARK(fullMapDraw);

void titleScreenRedraw(benchmark::State& state) {
    HeadlessGame headless(dataFolder);
    if (!started(headless, state)) {
        return;
    }
    const MainMenu menu;
    TitleScreen title;
    Console console(*headless.virtualConsole());
    const Costs costs(headless);
    for (auto _ : state) {
        title.forget();
        title.draw(console, menu);
    }
    costs.report(state);
}
BENCHMARK(titleScreenRedraw);

// From world to world by the first link of each, in play: the use key's frame reads both files
// and draws the new world, and the key is let go in the next frame.
void linkJump(benchmark::State& state) {
    HeadlessGame headless(dataFolder);
    if (!started(headless, state)) {
        return;
    }
    Game& game = headless.game();
    const int use = game.keys()[static_cast<int>(KeySlot::Use)];
    headless.frame(1, {platform::vk::enter});
    headless.frame(1);
    const Costs costs(headless);
    for (auto _ : state) {
        const std::vector<MapLink>& links = game.world().map().links();
        if (links.empty()) {
            state.SkipWithError("a shipped world has no link");
            return;
        }
        const MapLink link = links.front();
        game.placePlayer(MapCell{link.x, link.y});
        headless.frame(0, {use});
        headless.frame(0);
        if (game.playerCell() == MapCell{link.x, link.y} && link.targetX != link.x) {
            state.SkipWithError("a shipped link does not lead anywhere");
            return;
        }
    }
    costs.report(state);
}
BENCHMARK(linkJump);

} // namespace
