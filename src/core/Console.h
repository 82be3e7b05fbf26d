// The game's console: the one process-wide object through which everything is drawn. It is bound
// to a console device at start (a ConsoleBinding), which sets the console up, and offers the few
// drawing services every renderer shares. Text goes to the cursor position.
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

// The window title: the game's name and year, then a credit.
inline constexpr std::string_view consoleTitle =
    "Tharvok (2012) - a small adventure in the text console";

class Console {
public:
    // The console bound at start. The game binds it before anything is drawn; asking for it when
    // none is bound is a programming error and ends the program.
    static Console& instance();

    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    // Blanks every cell in the attribute in force and puts the cursor at the top-left.
    void clear();
    void moveCursor(int x, int y);
    void setAttribute(std::uint16_t attribute);
    void hideCursor();
    // Asks the console window to show what was written (after overlays).
    void repaint();
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

    platform::ConsoleDevice* output = nullptr;
    std::uint32_t screenCells = 0;
    ConsoleCoord origin{};
    ConsoleCoord cursor{};
    ConsoleCursorInfo cursorInfo{};
    ConsoleBufferInfo bufferInfo{};

private:
    friend class ConsoleBinding;
    // Sets the device up: buffer 80 x 25, wrap off, title, icon.
    explicit Console(platform::ConsoleDevice& device);
};

// Makes a device the process's console for as long as it lives, and no longer, so the console
// never points at a device that is gone. A binding made while another is alive stands in for it
// until it goes.
class ConsoleBinding {
public:
    explicit ConsoleBinding(platform::ConsoleDevice& device);
    ~ConsoleBinding();
    ConsoleBinding(const ConsoleBinding&) = delete;
    ConsoleBinding& operator=(const ConsoleBinding&) = delete;

    Console& console() { return console_; }

private:
    Console console_;
    Console* previous_;
};
