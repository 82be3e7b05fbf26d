// The Windows text console behind the console interface. Processed text goes through standard
// output (binary, unbuffered); positioning, colours, fills and raw glyphs go through the console
// API. The game never sees this header; the entry point, the replay runner and the tests do.
// No Windows header is included here: handles are kept as plain pointers.
#pragma once

#include "Platform.h"
#include "ScreenModel.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform::win32 {

// The resource number of the program's icon.
inline constexpr int iconResourceId = 101;

// The console code page the game's glyphs are drawn in.
inline constexpr unsigned glyphCodePage = 437;

// What the console reports about itself, for diagnostics and tests.
struct ConsoleState {
    bool available = false;
    int bufferWidth = 0;
    int bufferHeight = 0;
    std::uint32_t mode = 0;
    std::uint32_t outputCodePage = 0;
    std::string title;
};

// The console's contents as read back through the console API.
struct ConsoleReadback {
    std::array<Cell, screenCellCount> cells{};
    int cursorX = 0;
    int cursorY = 0;
    bool cursorVisible = true;
};

class Win32Console final : public ConsoleDevice {
public:
    // Touches nothing: the console is taken over by setUp().
    Win32Console();
    ~Win32Console() override;
    Win32Console(const Win32Console&) = delete;
    Win32Console& operator=(const Win32Console&) = delete;

    // True when standard output is a console (the game can run).
    static bool attached();

    void setUp(std::string_view title) override;
    void setTitle(std::string_view title) override;
    void setCursorPosition(int x, int y) override;
    void setCursorVisible(bool visible) override;
    void setAttribute(std::uint16_t attribute) override;
    std::uint16_t attribute() const override;
    void fillCharacters(int x, int y, std::uint8_t ch, int count) override;
    void fillAttributes(int x, int y, std::uint16_t attribute, int count) override;
    void writeText(std::string_view text) override;
    void writeGlyphs(std::string_view glyphs) override;
    // Everything is written to the console at once; the frame's end asks the window to show it
    // when anything was drawn.
    void present() override;

    // Gives back what setUp() changed that the user would notice after the game: the wrap mode,
    // the code page and the cursor. The screen's contents stay. Safe to call more than once.
    void restore();

    // Reads the top-left 80 x 25 cells, the cursor and its visibility from the console. False
    // (and `out` untouched) when the console cannot be read.
    bool readBack(ConsoleReadback& out) const;

    static ConsoleState queryState();

private:
    // Moves every row up by one, blanks the last row in the attribute in force and puts the
    // cursor at its start: a line feed on the last row.
    void scrollUp();
    // Reads the cursor from the console when it is not known yet (before the first placement).
    void syncCursor();

    void* output_ = nullptr;
    bool setUp_ = false;
    // Something was drawn since the last present().
    bool drawn_ = false;
    mutable bool attributeKnown_ = false;
    mutable std::uint16_t attribute_ = 7;
    bool cursorKnown_ = false;
    int cursorX_ = 0;
    int cursorY_ = 0;
    // What setUp() found, for restore().
    std::uint32_t savedMode_ = 0;
    bool modeSaved_ = false;
    unsigned savedCodePage_ = 0;
    std::uint32_t savedCursorSize_ = 25;
    bool savedCursorVisible_ = true;
    bool cursorSaved_ = false;
};

// Number of processes attached to this console; 1 when the game has the console to itself
// (started by a double-click), 0 when it cannot be told.
int consoleProcessCount();

} // namespace platform::win32
