// The top-level object: creates the keyboard table, the frame timer, the main menu and the world,
// runs the frame loop until the player quits, and leaves the farewell screen behind.
#pragma once

#include <cstdint>

class Controls;
class FrameTimer;
class MainMenu;
class World;

enum class GameState : std::int32_t {
    Menu = 0,
    Playing = 1,
    Quit = -1,
};

inline constexpr const char* farewellLine =
    "Shutdown game ... if you can read this you should upgrade your pc ;)";

class Game {
public:
    // Sets the console up (first use) and hides the cursor.
    Game();
    // Destroys the parts in the order controls, timer, menu, world.
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Creates the parts and loads the start world; false when the start world cannot be loaded
    // (its message is already on the screen).
    bool init();

    // The frame loop: renders once, then runs frames until the player quits. Returns 0.
    int run();

    // The frame loop in steps, for hosts that drive it frame by frame (the replay runner):
    // startLoop() is everything before the first frame, runFrame() one pass of the loop.
    void startLoop();
    void runFrame();

    void render();
    void handleCommands();

    FrameTimer* timer = nullptr;
    Controls* controls = nullptr;
    MainMenu* menu = nullptr;
    World* world = nullptr;
    GameState state = GameState::Menu;
    bool running = false;
    bool inputChanged = false;
};
