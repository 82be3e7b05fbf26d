// The game's console: the drawing services every view shares, on the console device the game was
// handed. Making one sets the device up (buffer 80 x 25, wrap off, title, icon). Text goes to the
// cursor position.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <string_view>

inline constexpr std::uint16_t attrBrightWhite = 15;
inline constexpr std::uint16_t attrDarkRed = 4;

// The window title: the game's name and year, then a credit.
inline constexpr std::string_view consoleTitle =
    "Tharvok (2012) - a small adventure in the text console";

class Console {
public:
    explicit Console(platform::ConsoleDevice& device);
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    // Blanks every cell in the attribute in force and puts the cursor at the top-left.
    void clear();
    void moveCursor(int x, int y);
    void setAttribute(std::uint16_t attribute);
    void hideCursor();
    // What a view smaller than the screen must keep in sight: told once a frame, before present().
    void setFocus(const platform::Focus& focus);
    // Ends a frame: what was drawn reaches the screen.
    void present();

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

private:
    platform::ConsoleDevice* output_;
};
