// The program: reads its arguments, finds its data, opens the terminal or console, runs the game
// (recording it when asked) and gives the terminal back. Exit status 0 after a normal quit (or
// --help, --version), 1 when the game cannot start or its recording cannot be written, 2 for an
// argument it does not know, --overwrite without --record, or a recording that would replace a
// file without --overwrite. A game ended by an interrupt, a termination or a hang-up ends the
// program the same way, once the recording is written and the terminal given back: it dies of
// that signal (or exits 128 + its number when the signal is ignored).
#include "app/CommandLine.h"
#include "app/DataSearch.h"
#include "app/Game.h"
#include "config/ConfigFile.h"
#include "config/KeyBindings.h"
#include "core/Console.h"
#include "platform/FileReader.h"
#include "platform/Folders.h"
#include "platform/Host.h"
#include "platform/OutputFile.h"
#include "platform/ProcessEnd.h"
#include "replay/Recorder.h"
#include "replay/Script.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr std::string_view recordingFailedNotice = " [the recording cannot be written]";
constexpr std::string_view recordingFailedSentence =
    "The recording cannot be written; the game goes on without it.";

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
                     "tharvok: %s\nusage: tharvok [--data DIR] [--record FILE [--overwrite]] "
                     "[--speak] [--help] [--version]\n",
                     error.c_str());
        return exitUsage;
    }
    if (line.version) {
        return print(versionText() + "\n") ? 0 : 1;
    }
    const DataSearch search =
        findData(line.data, platform::executableFolder(argc > 0 ? argv[0] : nullptr));
    if (line.help) {
        std::string text;
        const platform::FileStatus read = platform::readWholeFile(search.configFile, text);
        ConfigFile config;
        config.parse(text);
        return print(helpText(search, bindKeys(config), ignoredConfigReason(read))) ? 0 : 1;
    }

    const std::filesystem::path data = search.found.empty() ? search.tried.front() : search.found;
    // A recording that cannot be written is said before the terminal is taken; one that would
    // replace a file is refused unless asked for.
    std::error_code missing;
    if (line.record && !line.overwrite &&
        std::filesystem::symlink_status(*line.record, missing).type() !=
            std::filesystem::file_type::not_found &&
        !missing) {
        std::fprintf(stderr, "tharvok: the recording %s exists; give --overwrite to replace it\n",
                     line.record->string().c_str());
        return exitUsage;
    }
    platform::OutputFile recording;
    if (line.record && !recording.open(*line.record, error)) {
        std::fprintf(stderr, "tharvok: cannot write the recording %s: %s\n",
                     line.record->string().c_str(), error.c_str());
        return 1;
    }

    // The config.ini is read once: the game binds its keys from it, a recording carries its bytes.
    // One the game ignores is said before the terminal is taken.
    std::optional<std::string> configBytes;
    std::string configText;
    const platform::FileStatus configRead = platform::readWholeFile(search.configFile, configText);
    if (configRead == platform::FileStatus::Ok) {
        configBytes = std::move(configText);
    } else if (const std::string why = ignoredConfigReason(configRead); !why.empty()) {
        std::fprintf(stderr,
                     "tharvok: %s %s: the game ignores it and binds no key but Escape and F1\n",
                     search.configFile.string().c_str(), why.c_str());
    }
    ConfigFile config;
    if (configBytes) {
        config.parse(*configBytes);
    }

    platform::Host host;
    if (!host.open(error, line.speak ? platform::HostMode::Speech : platform::HostMode::Screen)) {
        std::fprintf(stderr, "tharvok: %s\n", error.c_str());
        return 1;
    }
    int status = 1;
    bool recorded = true;
    platform::InputStatus endedBy = platform::InputStatus::Keys;
    {
        platform::Services services = host.services();
        // Seen or heard, the back end is told whether the player points with the mouse.
        services.keyboard->deliverClicks(pointingOn(config));
        std::optional<Recorder> recorder;
        if (line.record) {
            // The data folder as a path from the root, so that the recording plays from any
            // folder.
            std::error_code unknown;
            std::filesystem::path absolute = std::filesystem::absolute(data, unknown);
            absolute = unknown ? data : absolute.lexically_normal();
            if (!absolute.has_filename() && absolute.has_relative_path()) {
                absolute = absolute.parent_path(); // "/home/me/." is "/home/me", not "/home/me/"
            }
            recorder.emplace(recording, script::formatRecordingStart(versionText()) +
                                            "# config: " + search.configFile.string() + "\n" +
                                            script::formatData(absolute.string()) +
                                            script::formatConfig(configBytes));
        }
        Game game(services, data);
        if (recorder) {
            game.observeInputs(&*recorder);
            // A recording that stops being written is told at once, in the window's title and in
            // speech, never on the game's screen; standard error says it again at the end.
            recorder->onWriteFailed([&services, &game] {
                services.console->setTitle(std::string(consoleTitle).append(recordingFailedNotice));
                game.speech().sayNotice(recordingFailedSentence);
            });
        }
        if (game.init(bindKeys(config))) {
            if (line.speak) {
                game.startSpeech();
                game.speech().listen([&host](const std::string& sentence) { host.say(sentence); });
            }
            status = game.run();
            endedBy = game.endedBy();
        }
        recorded = !recorder || recorder->finish();
    }
    if (endedBy != platform::InputStatus::Keys) {
        status = platform::signalledStatus(endedBy);
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
    platform::raiseAgain(endedBy);
    return status;
}
