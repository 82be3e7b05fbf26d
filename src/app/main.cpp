// The program: reads its arguments, finds its data, opens the terminal or console, runs the game
// (recording it when asked) and gives the terminal back. Exit status 0 after a normal quit (or
// --help, --version), 1 when the game cannot start or its recording cannot be written, 2 for an
// argument it does not know.
#include "app/CommandLine.h"
#include "app/DataSearch.h"
#include "app/Game.h"
#include "app/Recorder.h"
#include "config/ConfigFile.h"
#include "config/KeyBindings.h"
#include "platform/Executable.h"
#include "platform/Host.h"
#include "platform/OutputFile.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

// Text for standard output; false (with a message) when it cannot be written.
bool print(const std::string& text) {
    if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0) {
        std::fputs("tharvok: cannot write to standard output\n", stderr);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
    CommandLine line;
    std::string error;
    if (!parseCommandLine(args, line, error)) {
        std::fprintf(stderr,
                     "tharvok: %s\nusage: tharvok [--data DIR] [--record FILE] [--speak] "
                     "[--help] [--version]\n",
                     error.c_str());
        return exitUsage;
    }
    if (line.version) {
        return print(versionText() + "\n") ? 0 : 1;
    }
    const DataSearch search =
        findData(line.data, platform::executableFolder(argc > 0 ? argv[0] : nullptr));
    if (line.help) {
        ConfigFile config;
        config.load(search.configFile);
        return print(helpText(search, bindKeys(config))) ? 0 : 1;
    }

    const std::filesystem::path data = search.found.empty() ? search.tried.front() : search.found;
    // A recording that cannot be written is said before the terminal is taken.
    platform::OutputFile recording;
    if (line.record && !recording.open(*line.record, error)) {
        std::fprintf(stderr, "tharvok: cannot write the recording %s: %s\n",
                     line.record->string().c_str(), error.c_str());
        return 1;
    }

    platform::Host host;
    if (!host.open(error, line.speak ? platform::HostMode::Speech : platform::HostMode::Screen)) {
        std::fprintf(stderr, "tharvok: %s\n", error.c_str());
        return 1;
    }
    int status = 1;
    bool recorded = true;
    {
        platform::Services services = host.services();
        std::optional<Recorder> recorder;
        if (line.record) {
            recorder.emplace(*services.keyboard, *services.clock, recording,
                             "# A game of " + versionText() +
                                 ". To play it back: tharvok-replay --dir DATA THIS-FILE\n"
                                 "# data: " +
                                 data.string() + "\n# config: " + search.configFile.string() +
                                 "\n");
            services.keyboard = &*recorder;
            services.clock = &*recorder;
        }
        ConfigFile config;
        config.load(search.configFile);
        Game game(services, data);
        if (game.init(bindKeys(config))) {
            if (line.speak) {
                game.startSpeech();
                game.speech().listen([&host](const std::string& sentence) { host.say(sentence); });
            }
            status = game.run();
        }
        recorded = !recorder || recorder->finish();
    }
    host.close(status);
    if (!recorded) {
        std::fprintf(stderr, "tharvok: the recording %s could not be written whole\n",
                     line.record->string().c_str());
        status = status == 0 ? 1 : status;
    }
    if (search.found.empty()) {
        std::string where;
        for (const std::filesystem::path& folder : search.tried) {
            where += "\n  " + folder.string();
        }
        std::fprintf(stderr,
                     "tharvok: none of these folders holds the worlds (bin/world/):%s\n"
                     "Start tharvok in the folder that holds them, or name it with --data DIR.\n",
                     where.c_str());
    }
    return status;
}
