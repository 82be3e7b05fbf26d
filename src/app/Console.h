// The game's console: one process-wide object that sets the console up on first use and offers
// the few drawing services every renderer shares. Text goes to the cursor position; every call
// reaches the screen before it returns.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <string_view>

struct ConsoleCoord {
    std::int16_t x = 0;
    std::int16_t y = 0;
};

struct ConsoleCursorInfo {
    std::uint32_t size = 25;
    bool visible = true;
};

struct ConsoleBufferInfo {
    ConsoleCoord size{platform::screenWidth, platform::screenHeight};
    std::uint16_t attribute = 7;
};

inline constexpr std::uint16_t attrBrightWhite = 15;
inline constexpr std::uint16_t attrDarkRed = 4;

class Console {
public:
    // The one console. The first call after a back end was attached sets the console up: buffer
    // 80 x 25, wrap off, title, icon.
    static Console& instance();

    // Binds the console to a back end. Called by the entry point (and by hosts that run several
    // games in one process) before the game is created; the next instance() sets it up.
    static void attach(platform::ConsoleDevice& device);

    // Blanks every cell in the attribute in force and puts the cursor at the top-left.
    void clear();
    void moveCursor(int x, int y);
    void setAttribute(std::uint16_t attribute);
    void hideCursor();
    // Asks the console window to show what was written (after overlays).
    void repaint();

    // Text at the cursor, with line feeds, tabs and the like acting as console controls.
    void writeText(std::string_view text);
    // The text and a line break, as a line write does.
    void writeLine(std::string_view text);
    void writeChar(char ch);
    // Formatted text (printf rules) into a bounded buffer; longer results are cut.
    void print(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    // Bytes that come from files: every byte is shown as its glyph and never acts as a control.
    void writeGlyphs(std::string_view glyphs);

    platform::ConsoleDevice* output = nullptr;
    std::uint32_t screenCells = 0;
    ConsoleCoord origin{};
    ConsoleCoord cursor{};
    ConsoleCursorInfo cursorInfo{};
    ConsoleBufferInfo bufferInfo{};

private:
    Console() = default;
    static Console& storage();
    void setUp();

    bool setUpPending_ = true;
};

// The window title: the game's name and year, then a credit.
inline constexpr std::string_view consoleTitle =
    "Tharvok (2012) - a small adventure in the text console";
