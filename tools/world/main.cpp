// tharvok-world: tools for world authors (check, show, graph, new) over the game's own loaders.
#include "WorldTool.h"

#include "platform/TextTerminal.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const platform::TextTerminal terminal;
    const int status = worldtool::worldMain(args, terminal.showsColour(), std::cout, std::cerr);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "tharvok-world: cannot write the output\n";
        return worldtool::exitUsage;
    }
    return status;
}
