#include "headless/HeadlessGame.h"

#include "config/ConfigFile.h"
#include "config/KeyBindings.h"

#include <utility>

HeadlessGame::HeadlessGame(std::filesystem::path dataFolder, platform::LocalTime localTime)
    : ownConsole_(std::make_unique<platform::VirtualConsole>()), console_(ownConsole_.get()),
      dataFolder_(std::move(dataFolder)) {
    clock_.setLocalTime(localTime);
    game_ = std::make_unique<Game>(platform::Services{console_, &keyboard_, &clock_}, dataFolder_);
}

HeadlessGame::HeadlessGame(platform::ConsoleDevice& console, std::filesystem::path dataFolder,
                           platform::LocalTime localTime, std::optional<ConfigFile> config)
    : console_(&console), dataFolder_(std::move(dataFolder)), config_(std::move(config)) {
    clock_.setLocalTime(localTime);
    game_ = std::make_unique<Game>(platform::Services{console_, &keyboard_, &clock_}, dataFolder_);
}

HeadlessGame::~HeadlessGame() = default;

bool HeadlessGame::start(bool speech) {
    if (!game_->init(config_ ? bindKeys(*config_)
                             : readKeyBindings(dataFolder_ / configFileName))) {
        return false;
    }
    if (speech) {
        game_->startSpeech();
    }
    game_->startLoop();
    return true;
}

void HeadlessGame::frame(std::int64_t ms, std::span<const int> keys) {
    if (!game_->running()) {
        return;
    }
    clock_.advance(ms);
    keyboard_.releaseAll();
    keyboard_.setClick(std::nullopt);
    for (const int key : keys) {
        keyboard_.setDown(key, true);
    }
    game_->runFrame();
}

void HeadlessGame::frame(const FrameInput& input) {
    if (!game_->running()) {
        return;
    }
    clock_.advance(input.ms);
    keyboard_.releaseAll();
    keyboard_.setClick(input.click);
    for (const std::uint8_t key : input.keysDown()) {
        keyboard_.setDown(key, true);
    }
    game_->runFrame();
}
