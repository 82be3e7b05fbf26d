// The top-level object: handed the platform's console, keyboard and clock and the data folder
// (where bin/world/ is read), it owns the console it draws with, creates the keyboard table from
// the key bindings it is given, the frame timer, the main menu, the world and the views, runs the
// frame loop until the player quits, and leaves the farewell screen behind.
//
// Every frame goes one way: the keys are read, the rules update the game's state (the menu, the
// world, the help box), the views draw from that state and the menu's and the world's events, and
// the frame ends with present().
#pragma once

#include "app/HelpBox.h"
#include "core/Console.h"
#include "core/Controls.h"
#include "core/GameState.h"
#include "menu/MainMenu.h"
#include "menu/TitleScreen.h"
#include "platform/Platform.h"
#include "render/WorldView.h"
#include "replay/GameInputObserver.h"
#include "speech/Speech.h"
#include "world/MapTypes.h"
#include "world/World.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class FrameTimer;

inline constexpr const char* farewellLine =
    "Shutdown game ... if you can read this you should upgrade your pc ;)";

class Game {
public:
    // Sets the console up and hides the cursor.
    Game(const platform::Services& services, std::filesystem::path dataFolder);
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Tells `observer` (until it is null again) of what the game reads from outside: set before
    // init() to hear of everything.
    void observeInputs(GameInputObserver* observer) { observer_ = observer; }

    // Creates the parts, with the keys bound as `keys` says, and loads the start world. False
    // when the start world cannot be loaded; the message naming the file is then on the screen.
    bool init(const KeyCodes& keys);

    // The frame loop: draws once, then runs frames until the player quits, resting between
    // them as inputWaitMs() says. Returns 0.
    int run();

    // How long the loop may wait for input before the next frame: -1 (no limit) when nothing on
    // the screen can change without input, the milliseconds to the game's next change of its own
    // (the day clock's midnight) when only that can, and a couple of milliseconds while a key is
    // held or a timer of the keyboard's is pending. The first frame after a rest measures the
    // whole rest as its frame time.
    std::int64_t inputWaitMs() const;

    // The frame loop in steps, for hosts that drive it frame by frame (the replay runner, the
    // page): startLoop() is everything before the first frame, runFrame() one pass of the loop.
    void startLoop();
    void runFrame();

    // Puts the player on a cell as a link jump does, without drawing (a test or a benchmark sets
    // a scene with it).
    void placePlayer(MapCell cell) { world_.placePlayer(cell); }

    // Switches on what the game says (after init): the sentences wait in speech() for a host to
    // take, or go to its listener.
    void startSpeech() { speech_.switchOn(controls_->keys(), farewellLine); }
    Speech& speech() { return speech_; }

    // What the game is doing, for its hosts and tests.
    bool running() const { return running_; }
    GameState state() const { return state_; }
    MapCell playerCell() const { return world_.player().cell(); }
    bool panelShown() const { return world_.panelShown(); }
    bool helpShown() const { return help_.shown(); }
    double clockSeconds() const { return world_.clock().seconds(); }
    std::string_view worldName() const { return world_.map().name(); }
    const KeyCodes& keys() const { return controls_->keys(); }
    // The world and its view, read-only (the fuzz targets check their rules after every frame).
    const World& world() const { return world_; }
    const WorldView& worldView() const { return worldView_; }

    // What ended the game from outside (an interrupt, a termination, a hang-up), or `Keys` when
    // it ended by the player's quit or has not ended.
    platform::InputStatus endedBy() const { return endedBy_; }

private:
    // The rules of one frame, after the keys and the click were read.
    void update(bool inputChanged, std::optional<platform::ScreenPoint> click);
    // A key other than the travel key went down in this frame.
    bool anotherKeyPressed() const;
    // The in-game commands: Escape leaves play, the use key follows a link, the panel key shows
    // the status panel while it is held, the describe key has the surroundings said, the travel
    // key sets out for a path; rest, save and load only have their releases consumed.
    void handleCommands();
    // The views draw the frame, and the console is told what a smaller view must keep in sight.
    void draw();
    // The help box's place while it is open, or null.
    const CellRect* helpBox() const { return help_.shown() ? &help_.rect() : nullptr; }

    platform::Services services_;
    std::filesystem::path dataFolder_;
    Console console_;
    std::optional<Controls> controls_;
    std::unique_ptr<FrameTimer> timer_;
    MainMenu menu_;
    World world_;
    TitleScreen titleScreen_;
    WorldView worldView_;
    Speech speech_;
    GameState state_ = GameState::Menu;
    bool running_ = false;
    // The last frame found a bound key down or just released: the loop does not rest.
    bool inputChanged_ = false;
    platform::InputStatus endedBy_ = platform::InputStatus::Keys;
    GameInputObserver* observer_ = nullptr;
    HelpBox help_;
};
