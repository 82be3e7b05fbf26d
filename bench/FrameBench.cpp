// What frames cost: an idle frame in play (the common case: nothing to draw), a full map draw
// and a title screen redraw, on the shipped worlds and the virtual console.
#include "app/Console.h"
#include "app/Game.h"
#include "config/ConfigFile.h"
#include "menu/MainMenu.h"
#include "platform/virtual/VirtualConsole.h"
#include "world/World.h"
#include "world/WorldMap.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace {

class PlayingGame {
public:
    PlayingGame() {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(std::filesystem::path(THARVOK_SOURCE_DIR) / "data");
        platform::install({&console_, &keyboard_, &clock_});
        Console::attach(console_);
        ConfigFile::forget();
        game_ = std::make_unique<Game>();
        ok_ = game_->init();
        game_->startLoop();
    }
    ~PlayingGame() {
        game_.reset();
        std::filesystem::current_path(previous_);
    }
    PlayingGame(const PlayingGame&) = delete;
    PlayingGame& operator=(const PlayingGame&) = delete;

    bool ok() const { return ok_; }
    Game& game() { return *game_; }
    void frame(int key) {
        clock_.advance(1);
        keyboard_.releaseAll();
        keyboard_.setDown(key, true);
        game_->runFrame();
    }

private:
    std::filesystem::path previous_;
    platform::VirtualConsole console_;
    platform::ScriptedKeyboard keyboard_;
    platform::ManualClock clock_;
    std::unique_ptr<Game> game_;
    bool ok_ = false;
};

constexpr int enterKey = 13;
constexpr int noKey = 0;

void idleFrameInPlay(benchmark::State& state) {
    PlayingGame playing;
    if (!playing.ok()) {
        state.SkipWithError("the shipped start world did not load");
        return;
    }
    playing.frame(enterKey);
    playing.frame(noKey);
    for (auto _ : state) {
        playing.frame(noKey);
    }
}
BENCHMARK(idleFrameInPlay);

void fullMapDraw(benchmark::State& state) {
    PlayingGame playing;
    if (!playing.ok()) {
        state.SkipWithError("the shipped start world did not load");
        return;
    }
    World& world = *playing.game().world;
    for (auto _ : state) {
        world.map->drawAll();
    }
}
BENCHMARK(fullMapDraw);

void titleScreenRedraw(benchmark::State& state) {
    PlayingGame playing;
    if (!playing.ok()) {
        state.SkipWithError("the shipped start world did not load");
        return;
    }
    MainMenu& menu = *playing.game().menu;
    for (auto _ : state) {
        menu.redraw = true;
        menu.render();
    }
}
BENCHMARK(titleScreenRedraw);

} // namespace
