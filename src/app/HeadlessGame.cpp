#include "app/HeadlessGame.h"

#include <utility>

HeadlessGame::HeadlessGame(std::filesystem::path dataFolder, platform::LocalTime localTime)
    : ownConsole_(std::make_unique<platform::VirtualConsole>()), console_(ownConsole_.get()) {
    clock_.setLocalTime(localTime);
    game_ = std::make_unique<Game>(platform::Services{console_, &keyboard_, &clock_},
                                   std::move(dataFolder));
}

HeadlessGame::HeadlessGame(platform::ConsoleDevice& console, std::filesystem::path dataFolder,
                           platform::LocalTime localTime, std::optional<ConfigFile> config)
    : console_(&console) {
    clock_.setLocalTime(localTime);
    const platform::Services services{console_, &keyboard_, &clock_};
    game_ = config ? std::make_unique<Game>(services, std::move(dataFolder), std::move(*config))
                   : std::make_unique<Game>(services, std::move(dataFolder));
}

HeadlessGame::~HeadlessGame() = default;

bool HeadlessGame::start() {
    if (!game_->init()) {
        return false;
    }
    game_->startLoop();
    return true;
}

void HeadlessGame::frame(std::int64_t ms, std::span<const int> keys) {
    if (!game_->running) {
        return;
    }
    clock_.advance(ms);
    keyboard_.releaseAll();
    for (const int key : keys) {
        keyboard_.setDown(key, true);
    }
    game_->runFrame();
}

void HeadlessGame::frame(const FrameInput& input) {
    if (!game_->running) {
        return;
    }
    clock_.advance(input.ms);
    keyboard_.releaseAll();
    for (const std::uint8_t key : input.keysDown()) {
        keyboard_.setDown(key, true);
    }
    game_->runFrame();
}
