#include "app/Game.h"

#include "app/FrameRest.h"
#include "app/FrameTimer.h"
#include "app/ScreenFocus.h"
#include "world/DayClock.h"

#include <utility>

Game::Game(const platform::Services& services, std::filesystem::path dataFolder)
    : services_(services), dataFolder_(std::move(dataFolder)), console_(*services.console) {
    console_.hideCursor();
}

Game::~Game() = default;

bool Game::init(const KeyCodes& keys) {
    controls_.emplace(keys);
    services_.keyboard->useKeys(controls_->keys());
    services_.keyboard->holdKeys(
        std::span(&controls_->keys()[static_cast<int>(KeySlot::ToggleRightOverlay)], 1));
    timer_ = std::make_unique<FrameTimer>(*services_.clock);
    std::string failedPath;
    const platform::LocalTime localTime = services_.clock->localTime();
    if (observer_ != nullptr) {
        observer_->startedAt(localTime);
    }
    if (world_.init(dataFolder_, localTime, failedPath, observer_)) {
        return true;
    }
    console_.writeText("\n");
    console_.writeGlyphs(failedPath);
    console_.writeText(missingFileMessage);
    console_.setFocus(textFocus(1, 1, failedPath.size() + missingFileMessage.size()));
    console_.present();
    return false;
}

int Game::run() {
    startLoop();
    while (running_) {
        services_.keyboard->waitForInput(inputWaitMs());
        runFrame();
    }
    return 0;
}

std::int64_t Game::inputWaitMs() const {
    // The world's clock runs only in play and not behind the help box.
    const bool clockRuns = state_ == GameState::Playing && !help_.shown();
    return frameWaitMs(!inputChanged_ && state_ != GameState::Quit,
                       services_.keyboard->pendingTimerMs(),
                       clockRuns ? msUntilMidnight(world_.clock()) : -1);
}

void Game::startLoop() {
    running_ = true;
    timer_->restart();
    speech_.follow(state_, menu_, world_);
    draw();
    console_.present();
}

void Game::runFrame() {
    timer_->tick();
    menu_.startFrame();
    world_.startFrame();
    FrameInput input;
    input.ms = timer_->frameMs;
    endedBy_ = readFrameKeys(*services_.keyboard, controls_->keys(), input);
    if (endedBy_ != platform::InputStatus::Keys) {
        // The game ends where it stands: nothing more is drawn, the console is given back.
        running_ = false;
        return;
    }
    // A key that went down is part of the frame even when nothing is bound to it: it closes the
    // help box, and a recording must say so.
    input.addKey(services_.keyboard->keyWentDown());
    if (observer_ != nullptr) {
        observer_->frameRead(input);
    }
    bool inputChanged = false;
    controls_->apply(input, inputChanged);
    inputChanged_ = inputChanged;
    update(inputChanged);
    speech_.follow(state_, menu_, world_);
    draw();
    console_.present();
}

void Game::update(bool inputChanged) {
    const bool playing = state_ == GameState::Playing;
    switch (help_.update(*controls_, inputChanged, services_.keyboard->keyWentDown() != 0,
                         state_ != GameState::Quit, playing ? &world_ : nullptr)) {
    case HelpBox::Step::Away:
        break;
    case HelpBox::Step::Opened:
        if (playing) {
            worldView_.cover(help_.rect());
        }
        speech_.sayLines(help_.lines());
        return;
    case HelpBox::Step::Up:
        return;
    case HelpBox::Step::Closed:
        if (playing) {
            worldView_.uncover();
        } else {
            titleScreen_.forget();
        }
        return;
    }
    if (inputChanged && state_ == GameState::Playing) {
        handleCommands();
    }
    const double dt = timer_->seconds();
    switch (state_) {
    case GameState::Quit:
        running_ = false;
        break;
    case GameState::Menu:
        state_ = menu_.update(*controls_, dt);
        break;
    case GameState::Playing:
        world_.tick(*controls_, dt);
        break;
    }
}

void Game::draw() {
    switch (state_) {
    case GameState::Quit:
        titleScreen_.forget();
        worldView_.follow(world_);
        console_.clear();
        console_.setAttribute(attrBrightWhite);
        console_.writeLine(farewellLine);
        break;
    case GameState::Menu:
        worldView_.follow(world_);
        titleScreen_.draw(console_, menu_);
        break;
    case GameState::Playing:
        titleScreen_.forget();
        worldView_.draw(console_, world_);
        break;
    }
    help_.draw(console_);
    console_.setFocus(frameFocus(state_, worldView_, helpBox(), farewellLine));
}

void Game::handleCommands() {
    if (controls_->pressed(KeySlot::Escape)) {
        state_ = GameState::Menu;
        world_.leavePlay();
        return;
    }
    if (controls_->pressed(KeySlot::Use)) {
        world_.use();
        return;
    }
    // Describing only speaks: the frame's other commands go on.
    if (controls_->pressed(KeySlot::Describe)) {
        speech_.describe(world_);
    }
    if (controls_->released(KeySlot::Rest)) {
        return;
    }
    // The panel is shown exactly while its key is held.
    if (controls_->released(KeySlot::ToggleRightOverlay)) {
        world_.setPanel(false);
        return;
    }
    if (controls_->pressed(KeySlot::ToggleRightOverlay)) {
        world_.setPanel(true);
        return;
    }
    if (controls_->released(KeySlot::Save)) {
        return;
    }
    controls_->released(KeySlot::Load);
}
