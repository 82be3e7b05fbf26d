#include "core/Console.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr std::size_t printBufferSize = 256;

Console* bound = nullptr;

} // namespace

Console& Console::instance() {
    if (bound == nullptr) {
        std::fputs("tharvok: the console was used before it was bound\n", stderr);
        std::abort();
    }
    return *bound;
}

Console::Console(platform::ConsoleDevice& device) : output(&device) {
    bufferInfo.attribute = output->attribute();
    screenCells = static_cast<std::uint32_t>(bufferInfo.size.x) *
                  static_cast<std::uint32_t>(bufferInfo.size.y);
    output->setUp(consoleTitle);
}

ConsoleBinding::ConsoleBinding(platform::ConsoleDevice& device)
    : console_(device), previous_(bound) {
    bound = &console_;
}

ConsoleBinding::~ConsoleBinding() { bound = previous_; }

void Console::clear() {
    const int cells = static_cast<int>(screenCells);
    output->fillCharacters(origin.x, origin.y, ' ', cells);
    bufferInfo.attribute = output->attribute();
    output->fillAttributes(origin.x, origin.y, bufferInfo.attribute, cells);
    moveCursor(origin.x, origin.y);
}

void Console::moveCursor(int x, int y) {
    cursor = ConsoleCoord{static_cast<std::int16_t>(x), static_cast<std::int16_t>(y)};
    output->setCursorPosition(x, y);
}

void Console::setAttribute(std::uint16_t attribute) { output->setAttribute(attribute); }

void Console::hideCursor() {
    cursorInfo = ConsoleCursorInfo{1, false};
    output->setCursorVisible(false);
}

void Console::repaint() { output->repaint(); }

void Console::present() { output->present(); }

void Console::writeText(std::string_view text) { output->writeText(text); }

void Console::writeLine(std::string_view text) {
    output->writeText(text);
    output->writeText("\n");
}

void Console::writeChar(char ch) { output->writeText(std::string_view(&ch, 1)); }

void Console::print(const char* format, ...) {
    char buffer[printBufferSize];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (length <= 0) {
        return;
    }
    const std::size_t size = static_cast<std::size_t>(length) < sizeof buffer
                                 ? static_cast<std::size_t>(length)
                                 : sizeof buffer - 1;
    output->writeText(std::string_view(buffer, size));
}

void Console::writeGlyphs(std::string_view glyphs) { output->writeGlyphs(glyphs); }
