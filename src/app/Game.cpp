#include "app/Game.h"

#include "app/FrameRest.h"
#include "app/FrameTimer.h"
#include "app/ScreenFocus.h"
#include "world/DayClock.h"

#include <algorithm>
#include <cmath>
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
    std::int64_t changeMs = clockRuns ? msUntilMidnight(world_.clock()) : -1;
    if (clockRuns && world_.travelling() && !world_.panelShown()) {
        // Travel's next step is a change of the game's own.
        const auto stepMs =
            static_cast<std::int64_t>(std::ceil(world_.secondsToTravelStep() * 1000.0));
        changeMs = changeMs < 0 ? stepMs : std::min(changeMs, stepMs);
    }
    return frameWaitMs(!inputChanged_ && state_ != GameState::Quit,
                       services_.keyboard->pendingTimerMs(), changeMs);
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
    speech_.startFrame();
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
    update(inputChanged, input.click);
    speech_.follow(state_, menu_, world_);
    draw();
    console_.present();
}

bool Game::anotherKeyPressed() const {
    const std::int32_t travelKey = controls_->key(KeySlot::Travel);
    const std::int32_t wentDown = services_.keyboard->keyWentDown();
    if (wentDown != 0 && wentDown != travelKey) {
        return true;
    }
    for (const Action& row : actions) {
        const std::int32_t key = controls_->key(row.slot);
        if (key != 0 && key != travelKey &&
            controls_->phase(static_cast<std::uint8_t>(key)) == KeyPhase::NewPress) {
            return true;
        }
    }
    return false;
}

void Game::update(bool inputChanged, std::optional<platform::ScreenPoint> click) {
    const bool playing = state_ == GameState::Playing;
    // Travel ends when the player presses a key of their own, the help key too (the travel key
    // goes on round the paths).
    if (playing && world_.travelling() && anotherKeyPressed()) {
        world_.stopTravel();
    }
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
    if (inputChanged && state_ != GameState::Quit && controls_->pressed(KeySlot::Repeat)) {
        speech_.repeat();
    }
    if (inputChanged && state_ == GameState::Playing) {
        handleCommands();
    }
    // A click acts on the screen the frame began with.
    const bool clickHere = click && click->x >= 0 && click->y >= 0 &&
                           click->x < platform::screenWidth && click->y < platform::screenHeight;
    const MapCell clicked{static_cast<std::uint8_t>(clickHere ? click->x : 0),
                          static_cast<std::uint8_t>(clickHere ? click->y : 0)};
    const double dt = timer_->seconds();
    switch (state_) {
    case GameState::Quit:
        running_ = false;
        break;
    case GameState::Menu:
        state_ = menu_.update(*controls_, dt);
        if (clickHere && !playing && state_ == GameState::Menu) {
            if (const std::optional<std::size_t> item = menuItemOnRow(clicked.y)) {
                state_ = menu_.choose(*item);
            }
        }
        break;
    case GameState::Playing:
        if (clickHere && playing) {
            world_.click(clicked);
        }
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
    if (controls_->pressed(KeySlot::Travel)) {
        world_.travelToNextPath();
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
