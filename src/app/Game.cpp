#include "app/Game.h"

#include "app/Console.h"
#include "app/Controls.h"
#include "app/FrameTimer.h"
#include "menu/MainMenu.h"
#include "world/World.h"

Game::Game() { Console::instance().hideCursor(); }

Game::~Game() {
    delete controls;
    controls = nullptr;
    delete timer;
    timer = nullptr;
    delete menu;
    menu = nullptr;
    delete world;
    world = nullptr;
}

bool Game::init() {
    controls = new Controls();
    timer = new FrameTimer();
    menu = new MainMenu();
    world = new World();
    return world->init();
}

int Game::run() {
    startLoop();
    while (running) {
        runFrame();
    }
    return 0;
}

void Game::startLoop() {
    running = true;
    timer->restart();
    render();
}

void Game::runFrame() {
    timer->tick();
    inputChanged = false;
    controls->poll(inputChanged);
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
}

void Game::render() {
    switch (state) {
    case GameState::Quit: {
        Console& console = Console::instance();
        console.clear();
        console.setAttribute(attrBrightWhite);
        console.writeLine(farewellLine);
        break;
    }
    case GameState::Menu:
        menu->render();
        break;
    case GameState::Playing:
        world->render();
        break;
    }
}
