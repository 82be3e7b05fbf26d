// tharvok-world: tools for world authors (check, show, graph, new, link, init) over the game's
// own loaders.
#include "WorldTool.h"

#include "app/DataSearch.h"
#include "platform/Folders.h"
#include "platform/TextTerminal.h"
#include "world/WorldFiles.h"

#include <iostream>
#include <string>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The game's own data beside the program (a build folder or an installed tree), never the
// working directory, which is the author's.
fs::path shippedData() {
    const fs::path program = platform::executableFolder(nullptr);
    std::error_code error;
    const fs::path working = fs::current_path(error);
    std::string grid;
    worldFilePath(startWorldStem, gridExtension, grid);
    for (const fs::path& folder : dataFolderCandidates(std::nullopt, program)) {
        if ((folder != working || folder == program) && fs::is_regular_file(folder / grid, error)) {
            return folder;
        }
    }
    return {};
}

} // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const platform::TextTerminal terminal;
    worldtool::ToolSetting setting;
    setting.colour = terminal.showsColour();
    setting.shippedData = shippedData();
    std::error_code error;
    const fs::path own = userConfigFile();
    if (!own.empty() && fs::is_regular_file(own, error)) {
        setting.userConfig = own;
    }
    const int status = worldtool::worldMain(args, setting, std::cout, std::cerr);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "tharvok-world: cannot write the output\n";
        return worldtool::exitUsage;
    }
    return status;
}
