// The top-level object: handed the platform's console, keyboard and clock and the data folder
// (where config.ini and bin/world/ are read), it creates the keyboard table, the frame timer, the
// main menu and the world, runs the frame loop until the player quits, and leaves the farewell
// screen behind.
#pragma once

#include "config/ConfigFile.h"
#include "core/Console.h"
#include "core/GameState.h"
#include "platform/Platform.h"
#include "world/MapTypes.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class Controls;
class FrameTimer;
class MainMenu;
class World;

inline constexpr const char* farewellLine =
    "Shutdown game ... if you can read this you should upgrade your pc ;)";

class Game {
public:
    // Binds the console (which sets it up) and the configuration (read when first asked for),
    // and hides the cursor. `configFile` defaults to config.ini in the data folder.
    Game(const platform::Services& services, std::filesystem::path dataFolder,
         std::filesystem::path configFile = {});
    // Destroys the parts in the order controls, timer, menu, world.
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Creates the parts and loads the start world. False when the start world cannot be loaded;
    // the message naming the file is then on the screen.
    bool init();

    // The frame loop: renders once, then runs frames until the player quits, resting between
    // them as inputWaitMs() says. Returns 0.
    int run();

    // How long the loop may wait for input before the next frame: -1 (no limit) when nothing on
    // the screen can change without input, the milliseconds to the game's next change of its own
    // (the day clock's midnight) when only that can, and a couple of milliseconds while a key is
    // held or a timer of the keyboard's is pending. The first frame after a rest measures the
    // whole rest as its frame time.
    std::int64_t inputWaitMs() const;

    // The frame loop in steps, for hosts that drive it frame by frame (the replay runner):
    // startLoop() is everything before the first frame, runFrame() one pass of the loop.
    void startLoop();
    void runFrame();

    void render();
    // The help box: opened by the help key (or F1) over the title screen or the map, closed by
    // the next press of any key, bound or not, which does nothing else. The game stands still
    // while it is up.
    void openHelp();
    void closeHelp();
    // The in-game commands: Escape leaves play, the use key follows a link, the panel key shows
    // the status panel while it is held; rest, save and load only have their releases consumed.
    void handleCommands();

    // What ended the game from outside (an interrupt, a termination, a hang-up), or `Keys` when
    // it ended by the player's quit or has not ended.
    platform::InputStatus endedBy() const { return endedBy_; }

    std::unique_ptr<FrameTimer> timer;
    std::unique_ptr<Controls> controls;
    std::unique_ptr<MainMenu> menu;
    std::unique_ptr<World> world;
    GameState state = GameState::Menu;
    bool running = false;
    bool inputChanged = false;
    bool helpShown = false;

private:
    // Consumes every new press of this frame; true when there was one.
    bool takePresses();

    platform::Services services_;
    std::filesystem::path dataFolder_;
    ConsoleBinding console_;
    ConfigBinding config_;
    // The help box to draw at the next render, and where it lies.
    platform::InputStatus endedBy_ = platform::InputStatus::Keys;
    bool helpDrawPending_ = false;
    CellRect helpRect_{};
    std::vector<std::string> helpLines_;
};
