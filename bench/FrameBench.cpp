// What frames cost on the virtual console, on the shipped worlds: an idle frame in play (the
// common case: nothing to draw), a full map draw, a title screen redraw and a link jump (both
// world files read, the new world drawn). Each reports, beside its time, the heap allocations
// and the console calls of one iteration.
#include "app/HeadlessGame.h"
#include "core/Console.h"
#include "menu/MainMenu.h"
#include "menu/TitleScreen.h"
#include "platform/VirtualKeys.h"
#include "render/MapView.h"
#include "render/WorldView.h"
#include "support/AllocationCount.h"
#include "world/Player.h"
#include "world/World.h"
#include "world/WorldMap.h"

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

void fullMapDraw(benchmark::State& state) {
    HeadlessGame headless(dataFolder);
    if (!started(headless, state)) {
        return;
    }
    const WorldMap& map = *headless.game().world->map;
    const Costs costs(headless);
    for (auto _ : state) {
        drawMap(Console::instance(), map);
    }
    costs.report(state);
}
BENCHMARK(fullMapDraw);

void titleScreenRedraw(benchmark::State& state) {
    HeadlessGame headless(dataFolder);
    if (!started(headless, state)) {
        return;
    }
    MainMenu& menu = *headless.game().menu;
    const Costs costs(headless);
    for (auto _ : state) {
        menu.redraw = true;
        renderTitleScreen(Console::instance(), menu);
    }
    costs.report(state);
}
BENCHMARK(titleScreenRedraw);

// From world to world by the first link of each: both files read, the new world drawn.
void linkJump(benchmark::State& state) {
    HeadlessGame headless(dataFolder);
    if (!started(headless, state)) {
        return;
    }
    World& world = *headless.game().world;
    const Costs costs(headless);
    for (auto _ : state) {
        if (world.map->links.empty()) {
            state.SkipWithError("a shipped world has no link");
            return;
        }
        const MapLink& link = world.map->links.front();
        world.player->placeAt(link.x, link.y);
        const std::string before = world.map->headerWord1 + world.map->headerWord2;
        world.use();
        renderWorld(Console::instance(), world);
        if (world.map->fullRedraw != 0 || world.player->x == link.x) {
            // The jump did not happen (the view would have drawn the map and cleared the flag).
            if (before == world.map->headerWord1 + world.map->headerWord2) {
                state.SkipWithError("a shipped link does not lead anywhere");
                return;
            }
        }
    }
    costs.report(state);
}
BENCHMARK(linkJump);

} // namespace
