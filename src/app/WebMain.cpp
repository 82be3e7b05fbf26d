// The page's program: the game on the browser back end, its frames run on the page's animation
// frames while something can change, none while it rests. The shipped config.ini and worlds are
// packed with the page under /data. What the game says goes to the page's log (read by screen
// readers, shown by "Show text").
#include "app/Game.h"
#include "config/KeyBindings.h"
#include "platform/Host.h"
#include "platform/web/FrameLoop.h"

#include <cstdint>
#include <string>

namespace {

platform::Host* host = nullptr;
Game* game = nullptr;

bool frame() {
    game->runFrame();
    if (game->running()) {
        return true;
    }
    // The farewell stays on the page, with the line to play again under it.
    host->close(0);
    return false;
}

std::int64_t waitMs() { return game->inputWaitMs(); }

} // namespace

int main() {
    // The page keeps running after main returns: the game lives as long as the page.
    static platform::Host page;
    std::string error;
    if (!page.open(error)) {
        return 1;
    }
    static Game theGame(page.services(), "/data");
    if (!theGame.init(readKeyBindings("/data/config.ini"))) {
        page.close(1);
        return 1;
    }
    host = &page;
    game = &theGame;
    theGame.startSpeech();
    theGame.speech().listen([](const std::string& sentence) { host->say(sentence); });
    theGame.startLoop();
    platform::web::runFrames(frame, waitMs);
    return 0;
}
