// What frames cost: an idle frame in play (the common case: nothing to draw), a full map draw
// and a title screen redraw, on the shipped worlds and the virtual console.
#include "app/HeadlessGame.h"
#include "core/Console.h"
#include "menu/MainMenu.h"
#include "menu/TitleScreen.h"
#include "platform/VirtualKeys.h"
#include "render/MapView.h"
#include "world/World.h"
#include "world/WorldMap.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

const std::filesystem::path dataFolder = std::filesystem::path(THARVOK_SOURCE_DIR) / "data";

// The game on the shipped worlds; false (and the benchmark skipped) when they do not load.
bool started(HeadlessGame& headless, benchmark::State& state) {
    if (headless.start()) {
        return true;
    }
    state.SkipWithError("the shipped start world did not load");
    return false;
}

void idleFrameInPlay(benchmark::State& state) {
    HeadlessGame headless(dataFolder);
    if (!started(headless, state)) {
        return;
    }
    headless.frame(1, {platform::vk::enter});
    headless.frame(1);
    for (auto _ : state) {
        headless.frame(1);
    }
}
BENCHMARK(idleFrameInPlay);

void fullMapDraw(benchmark::State& state) {
    HeadlessGame headless(dataFolder);
    if (!started(headless, state)) {
        return;
    }
    const WorldMap& map = *headless.game().world->map;
    for (auto _ : state) {
        drawMap(Console::instance(), map);
    }
}
BENCHMARK(fullMapDraw);

void titleScreenRedraw(benchmark::State& state) {
    HeadlessGame headless(dataFolder);
    if (!started(headless, state)) {
        return;
    }
    MainMenu& menu = *headless.game().menu;
    for (auto _ : state) {
        menu.redraw = true;
        renderTitleScreen(Console::instance(), menu);
    }
}
BENCHMARK(titleScreenRedraw);

} // namespace
