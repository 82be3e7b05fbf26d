#include "app/Game.h"

#include "app/FrameTimer.h"
#include "app/KeyHelp.h"
#include "config/KeyBindings.h"
#include "core/Controls.h"
#include "menu/MainMenu.h"
#include "menu/TitleScreen.h"
#include "render/Overlay.h"
#include "render/WorldView.h"
#include "world/World.h"

#include <algorithm>
#include <string>
#include <utility>

Game::Game(const platform::Services& services, std::filesystem::path dataFolder,
           std::filesystem::path configFile)
    : services_(services), dataFolder_(std::move(dataFolder)), console_(*services.console),
      config_(configFile.empty() ? dataFolder_ / configFileName : std::move(configFile)) {
    Console::instance().hideCursor();
}

Game::Game(const platform::Services& services, std::filesystem::path dataFolder, ConfigFile config)
    : services_(services), dataFolder_(std::move(dataFolder)), console_(*services.console),
      config_(std::move(config)) {
    Console::instance().hideCursor();
}

Game::~Game() {
    controls.reset();
    timer.reset();
    menu.reset();
    world.reset();
}

bool Game::init() {
    controls = std::make_unique<Controls>(bindKeys(ConfigFile::instance()));
    services_.keyboard->useKeys(controls->keys);
    services_.keyboard->holdKeys(
        std::span(&controls->keys[static_cast<int>(KeySlot::ToggleRightOverlay)], 1));
    timer = std::make_unique<FrameTimer>(*services_.clock);
    menu = std::make_unique<MainMenu>();
    world = std::make_unique<World>();
    std::string failedPath;
    const platform::LocalTime localTime = services_.clock->localTime();
    if (observer_ != nullptr) {
        observer_->startedAt(localTime);
    }
    if (world->init(dataFolder_, localTime, failedPath, observer_)) {
        return true;
    }
    Console& console = Console::instance();
    console.writeText("\n");
    console.writeGlyphs(failedPath);
    console.writeText(missingFileMessage);
    console.present();
    return false;
}

int Game::run() {
    startLoop();
    while (running) {
        // Before each frame the back end is given up to 2 ms for input to arrive; input wakes it.
        services_.keyboard->waitForInput(2);
        runFrame();
    }
    return 0;
}

void Game::startLoop() {
    running = true;
    timer->restart();
    render();
    Console::instance().present();
}

void Game::runFrame() {
    const std::int64_t lastMs = timer->lastMs;
    timer->tick();
    FrameInput input;
    // Subtracted as unsigned: clock readings at the two ends of the range are no overflow.
    input.ms = static_cast<std::int64_t>(static_cast<std::uint64_t>(timer->lastMs) -
                                         static_cast<std::uint64_t>(lastMs));
    inputChanged = false;
    endedBy_ = readFrameKeys(*services_.keyboard, controls->keys, input);
    if (endedBy_ != platform::InputStatus::Keys) {
        // The game ends where it stands: nothing more is drawn, the console is given back.
        running = false;
        return;
    }
    if (observer_ != nullptr) {
        observer_->frameRead(input);
    }
    controls->apply(input, inputChanged);
    const bool helpKey = !helpShown && inputChanged && state != GameState::Quit &&
                         (controls->pressed(KeySlot::Help) || controls->pressed(KeySlot::HelpF1));
    if (helpShown || helpKey) {
        if (helpKey) {
            openHelp();
        } else if (inputChanged && takePresses()) {
            closeHelp();
        }
        render();
        Console::instance().present();
        return;
    }
    handleCommands();
    const double dt = timer->seconds();
    switch (state) {
    case GameState::Quit:
        running = false;
        break;
    case GameState::Menu:
        state = static_cast<GameState>(menu->update(*controls, dt));
        break;
    case GameState::Playing:
        world->tick(*controls, dt);
        break;
    }
    render();
    Console::instance().present();
}

void Game::render() {
    Console& console = Console::instance();
    switch (state) {
    case GameState::Quit:
        console.clear();
        console.setAttribute(attrBrightWhite);
        console.writeLine(farewellLine);
        break;
    case GameState::Menu:
        renderTitleScreen(console, *menu);
        break;
    case GameState::Playing:
        renderWorld(console, *world);
        break;
    }
    if (helpDrawPending_) {
        helpDrawPending_ = false;
        drawTextBox(console, helpRect_, helpLines_);
    }
}

void Game::openHelp() {
    const bool playing = state == GameState::Playing;
    helpLines_ = helpLines(controls->keys, playing ? world.get() : nullptr);
    std::size_t width = 0;
    for (const std::string& line : helpLines_) {
        width = std::max(width, line.size());
    }
    const int boxWidth = std::min(static_cast<int>(width) + 4, platform::screenWidth);
    const int boxHeight = std::min(static_cast<int>(helpLines_.size()) + 2, platform::screenHeight);
    const int left = (platform::screenWidth - boxWidth) / 2;
    const int top = (platform::screenHeight - boxHeight) / 2;
    helpRect_ = CellRect{static_cast<std::uint8_t>(left), static_cast<std::uint8_t>(top),
                         static_cast<std::uint8_t>(left + boxWidth),
                         static_cast<std::uint8_t>(top + boxHeight)};
    if (playing) {
        world->coverMap(helpRect_);
    }
    helpShown = true;
    helpDrawPending_ = true;
}

void Game::closeHelp() {
    helpShown = false;
    if (state == GameState::Playing) {
        world->uncoverMap();
    } else {
        menu->redraw = true;
    }
}

bool Game::takePresses() {
    bool any = false;
    for (int slot = 0; slot < keySlotCount; ++slot) {
        any = controls->pressed(static_cast<KeySlot>(slot)) || any;
    }
    return any;
}

void Game::handleCommands() {
    if (!inputChanged || state != GameState::Playing) {
        return;
    }
    if (controls->pressed(KeySlot::Escape)) {
        state = GameState::Menu;
        menu->redraw = true;
        world->leavePlay();
        return;
    }
    if (controls->pressed(KeySlot::Use)) {
        world->use();
        return;
    }
    if (controls->released(KeySlot::Rest)) {
        return;
    }
    // The panel is shown exactly while its key is held.
    if (controls->released(KeySlot::ToggleRightOverlay)) {
        world->setPanel(false);
        return;
    }
    if (controls->pressed(KeySlot::ToggleRightOverlay)) {
        world->setPanel(true);
        return;
    }
    if (controls->released(KeySlot::Save)) {
        return;
    }
    controls->released(KeySlot::Load);
}
