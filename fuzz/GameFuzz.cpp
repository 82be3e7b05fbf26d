// The whole game: the input is a small world set and a replay script, in parts separated by lines
// of "%%": the start world's grid and link list, another world's grid and link list
// (0f1e2d3c4b5a69788796a5b4c3d2e1f0), config.ini, and the script. A part that is not there is a
// file that is not there. The script runs for at most a few hundred frames, and the game's rules
// are checked after every frame.
#include "FuzzSupport.h"

#include "replay/Script.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr long long frameBudget = 400;
constexpr std::string_view separator = "\n%%\n";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::DataFolder folder;
    const std::array<std::string_view, 5> files = {
        fuzz::startGrid, fuzz::startInfo, fuzz::otherGrid, fuzz::otherInfo, configFileName};
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    for (const std::string_view file : files) {
        const std::size_t end = rest.find(separator);
        if (end == std::string_view::npos) {
            folder.remove(file);
            continue;
        }
        folder.write(file, rest.substr(0, end));
        rest.remove_prefix(end + separator.size());
    }

    fuzz::CheckedConsole console;
    HeadlessGame game(console, folder.path());
    game.start();
    long long frames = 0;
    script::Command command;
    std::string error;
    // A click line's click goes to the frame after it.
    std::optional<platform::ScreenPoint> click;
    while (!rest.empty() && frames < frameBudget && game.game().running()) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        const std::string_view line = rest.substr(0, std::min(end, script::maxLineBytes));
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (script::parseLine(line, command, error) != script::LineKind::Command) {
            continue;
        }
        if (command.kind == script::CommandKind::Click) {
            click = command.frame.click;
        }
        if (command.kind != script::CommandKind::Frames) {
            continue;
        }
        for (long long n = 0; n < command.count && frames < frameBudget; ++n, ++frames) {
            FrameInput input = command.frame;
            input.click = std::exchange(click, std::nullopt);
            game.frame(input);
            fuzz::checkGame(game.game());
        }
    }
    return 0;
}
