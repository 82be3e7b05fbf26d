// The page's program: the game on the browser back end, its frames run on the page's animation
// frames while something can change, none while it rests. The shipped config.ini and worlds are
// packed with the page under /data. What the game says goes to the page's log (read by screen
// readers, shown by "Show text"). The page builds its touch controls from the table of actions,
// through tharvok_touch_controls(), and names its screen for screen readers by where the player
// is, through tharvok_whereabouts().
#include "app/Game.h"
#include "config/KeyBindings.h"
#include "platform/Host.h"
#include "platform/VirtualKeys.h"
#include "platform/web/FrameLoop.h"

#include <charconv>
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

// The key a touch control sends: its action's own, else the next on the action's help line that
// is bound (F1 for help when config.ini gives help no key); 0 when none is.
std::int32_t touchKey(const Action& row, const KeyCodes& keys) {
    bool fromOwn = false;
    for (const KeySlot slot : row.helpKeys) {
        fromOwn = fromOwn || slot == row.slot;
        const std::int32_t code = keys[static_cast<std::size_t>(slot)];
        if (fromOwn && code != 0) {
            return code;
        }
    }
    return 0;
}

} // namespace

// What the page calls once, when the program has loaded (before the game starts): the touch
// controls, one line each, "NAME\tPAD\tKEY\tFACE\tWORD\tLABEL": the control's name, its pad
// ("cross" or "keys"), the virtual-key code it sends (0: none, the control is hidden), what it
// shows (an arrow on the cross, else the key's name as the help box gives it), the word under it
// and what a screen reader calls it: the action's words and the key ("use (E)").
extern "C" const char* tharvok_touch_controls() {
    static std::string text;
    const KeyCodes keys = readKeyBindings("/data/config.ini");
    text.clear();
    for (const Action& row : actions) {
        const TouchControl& touch = row.touch;
        if (touch.pad == TouchPad::None) {
            continue;
        }
        const std::int32_t key = touchKey(row, keys);
        const bool cross = touch.pad == TouchPad::Cross;
        text.append(touch.name).append(cross ? "\tcross\t" : "\tkeys\t");
        text.append(std::to_string(key)).append("\t");
        text.append(cross ? std::string(touch.face) : platform::vk::displayName(key));
        text.append("\t").append(touch.word).append("\t");
        text.append(cross ? row.help : touch.word).append(" (");
        text.append(platform::vk::displayName(key)).append(")\n");
    }
    return text.c_str();
}

// What the page calls after a frame has drawn, to name its screen: the world and the player's
// cell while the game is played ("Brenholt village, at 40, 12"), else "The game's screen". The
// text stays the program's until the next call (it keeps its room: no allocation once the
// longest name has been seen).
extern "C" const char* tharvok_whereabouts() {
    static std::string text;
    text.clear();
    if (game == nullptr || game->state() != GameState::Playing) {
        text.append("The game's screen");
        return text.c_str();
    }
    const MapCell cell = game->playerCell();
    char number[8];
    text.append(game->worldName()).append(", at ");
    text.append(number, std::to_chars(number, number + sizeof number, cell.x).ptr);
    text.append(", ");
    text.append(number, std::to_chars(number, number + sizeof number, cell.y).ptr);
    return text.c_str();
}

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
