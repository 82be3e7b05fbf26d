// tharvok-replay: runs the game headless from a script of frames and key states and prints the
// screens it asks for. Used by the test suite, for bug reports and by world authors.
#include "Replay.h"

#include "platform/Folders.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return replay::replayMain(args, std::cin, std::cout, std::cerr,
                              platform::executableFolder(argc > 0 ? argv[0] : nullptr));
}
