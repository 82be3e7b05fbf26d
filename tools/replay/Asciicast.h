// A terminal recording of a replay: what the terminal back end would have sent, frame by frame,
// as an asciicast v2 file (a JSON header, then one [seconds, "o", text] event per frame that
// changed the screen), which common terminal-recording players play. It ends as the game leaves a
// terminal: colours back to the terminal's own and the cursor shown.
#pragma once

#include "platform/ScreenModel.h"
#include "platform/ansi/ByteBuffer.h"
#include "platform/ansi/Presenter.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace replay {

class Asciicast {
public:
    // Creates the file and writes its header (80 x 25, the window's title). False, with a
    // message, when it cannot be written.
    bool open(const std::filesystem::path& file, std::string_view title, std::string& error);

    // The screen at `ms` milliseconds since the start: the bytes that bring the terminal to it.
    void frame(std::int64_t ms, const std::array<platform::Cell, platform::screenCellCount>& cells,
               int cursorX, int cursorY, bool cursorVisible);

    // Ends the recording at `ms` milliseconds and closes the file; false when anything could not
    // be written.
    bool finish(std::int64_t ms);

private:
    std::ofstream file_;
    platform::ansi::Presenter presenter_;
    platform::ansi::ByteBuffer bytes_{platform::ansi::maxPresentBytes};
};

// A JSON string's contents for `bytes` (UTF-8): quotes, backslashes and control bytes escaped.
std::string jsonEscaped(std::string_view bytes);

} // namespace replay
