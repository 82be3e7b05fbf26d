#include "core/Console.h"

#include <cstdarg>
#include <cstdio>

namespace {

constexpr std::size_t printBufferSize = 256;

} // namespace

Console::Console(platform::ConsoleDevice& device) : output_(&device) {
    output_->setUp(consoleTitle);
}

void Console::clear() {
    output_->fillCharacters(0, 0, ' ', platform::screenCellCount);
    output_->fillAttributes(0, 0, output_->attribute(), platform::screenCellCount);
    moveCursor(0, 0);
}

void Console::moveCursor(int x, int y) { output_->setCursorPosition(x, y); }

void Console::setAttribute(std::uint16_t attribute) { output_->setAttribute(attribute); }

void Console::hideCursor() { output_->setCursorVisible(false); }

void Console::setFocus(const platform::Focus& focus) { output_->setFocus(focus); }

void Console::present() { output_->present(); }

void Console::writeText(std::string_view text) { output_->writeText(text); }

void Console::writeLine(std::string_view text) {
    output_->writeText(text);
    output_->writeText("\n");
}

void Console::writeChar(char ch) { output_->writeText(std::string_view(&ch, 1)); }

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
    output_->writeText(std::string_view(buffer, size));
}

void Console::writeGlyphs(std::string_view glyphs) { output_->writeGlyphs(glyphs); }
