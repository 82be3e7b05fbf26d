#include "app/Game.h"

#include "app/FrameRest.h"
#include "app/FrameTimer.h"
#include "app/KeyHelp.h"
#include "config/KeyBindings.h"
#include "core/Controls.h"
#include "menu/MainMenu.h"
#include "menu/TitleScreen.h"
#include "render/Overlay.h"
#include "render/WorldView.h"
#include "world/DayClock.h"
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

Game::~Game() {
    controls.reset();
    timer.reset();
    menu.reset();
    world.reset();
}

bool Game::init() {
    controls = std::make_unique<Controls>(bindKeys(ConfigFile::instance()));
    services_.keyboard->useKeys(controls->keys);
    timer = std::make_unique<FrameTimer>(*services_.clock);
    menu = std::make_unique<MainMenu>();
    world = std::make_unique<World>();
    std::string failedPath;
    if (world->init(dataFolder_, services_.clock->localTime(), failedPath)) {
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
        services_.keyboard->waitForInput(inputWaitMs());
        runFrame();
    }
    return 0;
}

std::int64_t Game::inputWaitMs() const {
    // The world's clock runs only in play and not behind the help box.
    const bool clockRuns = state == GameState::Playing && !helpShown;
    return frameWaitMs(!inputChanged && state != GameState::Quit,
                       services_.keyboard->pendingTimerMs(),
                       clockRuns ? msUntilMidnight(*world->clock) : -1);
}

void Game::startLoop() {
    running = true;
    timer->restart();
    render();
    Console::instance().present();
}

void Game::runFrame() {
    timer->tick();
    inputChanged = false;
    endedBy_ = controls->poll(*services_.keyboard, inputChanged);
    if (endedBy_ != platform::InputStatus::Keys) {
        // The game ends where it stands: nothing more is drawn, the console is given back.
        running = false;
        return;
    }
    const bool helpKey = !helpShown && inputChanged && state != GameState::Quit &&
                         (controls->pressed(KeySlot::Help) || controls->pressed(KeySlot::HelpF1));
    if (helpShown || helpKey) {
        if (helpKey) {
            openHelp();
        } else {
            // Any key closes the box; a bound key's press is used up doing it.
            const bool anyKey = services_.keyboard->keyWentDown() != 0;
            if ((inputChanged && takePresses()) || anyKey) {
                closeHelp();
            }
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
