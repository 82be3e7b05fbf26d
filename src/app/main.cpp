// The program: opens the terminal or console, runs the game, gives the terminal back.
// Exit status 0 after a normal quit, 1 when the game cannot start.
#include "app/Game.h"
#include "platform/Host.h"

#include <cstdio>
#include <string>

int main() {
    platform::Host host;
    std::string error;
    if (!host.open(error)) {
        std::fprintf(stderr, "tharvok: %s\n", error.c_str());
        return 1;
    }
    int status = 1;
    {
        // The data folder is the working directory.
        Game game(host.services(), ".");
        if (game.init()) {
            status = game.run();
        }
    }
    host.close(status);
    return status;
}
