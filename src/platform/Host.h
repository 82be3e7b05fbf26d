// The real back end of the machine the game runs on: the console, the keyboard and the clock of
// the terminal or window. The entry point opens it before the game is created and closes it after
// the game is gone.
#pragma once

#include "Platform.h"

#include <memory>
#include <string>
#include <string_view>

namespace platform {

// How the game is played: seen on the screen, or heard (its screen drawn nowhere, its sentences
// written as lines on the terminal's own screen, for a screen reader to read).
enum class HostMode { Screen, Speech };

class Host {
public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // Takes over the terminal or console. False, with a message for the user in `error` and
    // nothing drawn, when the game cannot run there.
    bool open(std::string& error, HostMode mode = HostMode::Screen);
    // Writes one sentence as a line by itself (heard hosts only).
    void say(std::string_view sentence);

    // The console, keyboard and clock of the open host; valid until close().
    Services services();

    // Gives the terminal or console back. What the game last showed (the farewell line, or the
    // message of a failed start) stays readable. `exitStatus` is the status the program is about
    // to exit with; 128 or more when it is to die of a signal, which shows nothing more.
    void close(int exitStatus);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace platform
