#include "win32/Win32Console.h"

#include "win32/WindowsApi.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>

namespace platform::win32 {

namespace {

constexpr std::array<char, screenWidth> blankRow = [] {
    std::array<char, screenWidth> row{};
    row.fill(' ');
    return row;
}();
constexpr int titleCapacity = 256;

HANDLE standardOutput() { return GetStdHandle(STD_OUTPUT_HANDLE); }

COORD coord(int x, int y) { return COORD{static_cast<SHORT>(x), static_cast<SHORT>(y)}; }

// Makes the buffer 80 x 25. A buffer smaller than its window is refused, so the window is shrunk
// to fit first and grown to the whole buffer after.
void sizeBuffer(HANDLE output, const CONSOLE_SCREEN_BUFFER_INFO& info) {
    const SHORT windowWidth = static_cast<SHORT>(info.srWindow.Right - info.srWindow.Left + 1);
    const SHORT windowHeight = static_cast<SHORT>(info.srWindow.Bottom - info.srWindow.Top + 1);
    if (windowWidth > screenWidth || windowHeight > screenHeight) {
        const SMALL_RECT fitting{0, 0,
                                 static_cast<SHORT>(std::min<int>(windowWidth, screenWidth) - 1),
                                 static_cast<SHORT>(std::min<int>(windowHeight, screenHeight) - 1)};
        SetConsoleWindowInfo(output, TRUE, &fitting);
    }
    SetConsoleScreenBufferSize(output, coord(screenWidth, screenHeight));
    const SMALL_RECT whole{0, 0, lastColumn, lastRow};
    SetConsoleWindowInfo(output, TRUE, &whole);
}

void setTitle(std::string_view title) {
    wchar_t wide[titleCapacity] = {};
    const int length = std::min<int>(static_cast<int>(title.size()), titleCapacity - 1);
    const int converted =
        MultiByteToWideChar(CP_UTF8, 0, title.data(), length, wide, titleCapacity - 1);
    wide[std::max(converted, 0)] = L'\0';
    SetConsoleTitleW(wide);
}

// The console window's icon. SetConsoleIcon is not part of the documented API and may be missing
// or refuse (it always does under wine); the program's own icon still shows in Explorer.
void setIcon() {
    HMODULE kernel = GetModuleHandleW(L"kernel32");
    if (kernel == nullptr) {
        return;
    }
    using SetConsoleIconFunction = BOOL(WINAPI*)(HICON);
    const auto generic = reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetConsoleIcon"));
    const auto setConsoleIcon = reinterpret_cast<SetConsoleIconFunction>(generic);
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconResourceId));
    if (setConsoleIcon != nullptr && icon != nullptr) {
        setConsoleIcon(icon);
    }
}

} // namespace

Win32Console::Win32Console() = default;

Win32Console::~Win32Console() = default;

bool Win32Console::attached() {
    HANDLE output = standardOutput();
    CONSOLE_SCREEN_BUFFER_INFO info;
    return usable(output) && GetConsoleScreenBufferInfo(output, &info) != 0;
}

void Win32Console::setUp(std::string_view title) {
    HANDLE output = standardOutput();
    output_ = output;
    setUp_ = true;

    // Bytes reach the console as they are: no text-mode translation, no buffering.
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
    std::setvbuf(stdout, nullptr, _IONBF, 0);

    if (!usable(output)) {
        return;
    }
    // What the console was like before the game, kept from the first set-up only: a second one
    // would find the game's own settings.
    if (savedCodePage_ == 0) {
        savedCodePage_ = GetConsoleOutputCP();
    }
    if (GetConsoleOutputCP() != glyphCodePage) {
        SetConsoleOutputCP(glyphCodePage);
    }
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(output, &info)) {
        sizeBuffer(output, info);
        attribute_ = info.wAttributes;
        attributeKnown_ = true;
    }
    DWORD mode = 0;
    if (GetConsoleMode(output, &mode)) {
        if (!modeSaved_) {
            savedMode_ = mode;
            modeSaved_ = true;
        }
        SetConsoleMode(output, mode & ~static_cast<DWORD>(ENABLE_WRAP_AT_EOL_OUTPUT));
    }
    CONSOLE_CURSOR_INFO cursor;
    if (!cursorSaved_ && GetConsoleCursorInfo(output, &cursor)) {
        savedCursorSize_ = cursor.dwSize;
        savedCursorVisible_ = cursor.bVisible != 0;
        cursorSaved_ = true;
    }
    setTitle(title);
    setIcon();
    cursorKnown_ = false;
}

void Win32Console::restore() {
    HANDLE output = output_;
    if (!setUp_ || !usable(output)) {
        return;
    }
    std::fflush(stdout);
    if (modeSaved_) {
        SetConsoleMode(output, savedMode_);
    }
    if (cursorSaved_) {
        const CONSOLE_CURSOR_INFO cursor{savedCursorSize_, savedCursorVisible_ ? TRUE : FALSE};
        SetConsoleCursorInfo(output, &cursor);
    }
    if (savedCodePage_ != 0 && savedCodePage_ != glyphCodePage) {
        SetConsoleOutputCP(savedCodePage_);
    }
}

void Win32Console::setTitle(std::string_view title) {
    if (setUp_ && usable(output_)) {
        win32::setTitle(title);
    }
}

void Win32Console::setCursorPosition(int x, int y) {
    cursorX_ = std::clamp(x, 0, lastColumn);
    cursorY_ = std::clamp(y, 0, lastRow);
    cursorKnown_ = true;
    SetConsoleCursorPosition(standardOutput(), coord(cursorX_, cursorY_));
}

void Win32Console::setCursorVisible(bool visible) {
    const CONSOLE_CURSOR_INFO cursor{1, visible ? TRUE : FALSE};
    SetConsoleCursorInfo(standardOutput(), &cursor);
}

void Win32Console::setAttribute(std::uint16_t attribute) {
    attribute_ = attribute;
    attributeKnown_ = true;
    SetConsoleTextAttribute(standardOutput(), attribute);
}

std::uint16_t Win32Console::attribute() const {
    if (!attributeKnown_) {
        CONSOLE_SCREEN_BUFFER_INFO info;
        if (GetConsoleScreenBufferInfo(standardOutput(), &info)) {
            attribute_ = info.wAttributes;
            attributeKnown_ = true;
        }
    }
    return attribute_;
}

void Win32Console::fillCharacters(int x, int y, std::uint8_t ch, int count) {
    drawn_ = true;
    if (x < 0 || y < 0 || x > lastColumn || y > lastRow || count <= 0) {
        return;
    }
    DWORD written = 0;
    FillConsoleOutputCharacterA(standardOutput(), static_cast<CHAR>(ch), static_cast<DWORD>(count),
                                coord(x, y), &written);
}

void Win32Console::fillAttributes(int x, int y, std::uint16_t attribute, int count) {
    drawn_ = true;
    if (x < 0 || y < 0 || x > lastColumn || y > lastRow || count <= 0) {
        return;
    }
    DWORD written = 0;
    FillConsoleOutputAttribute(standardOutput(), attribute, static_cast<DWORD>(count), coord(x, y),
                               &written);
}

// The bytes go to the console as they are, but cut where consoles differ: a byte that lands in
// the last column is written on its own (some consoles, wine among them, send the rest of a
// write back to where it began once a line is full), and a tab that would run past the last
// column becomes the blanks that reach it. The cursor is followed as the console moves it.
void Win32Console::writeText(std::string_view text) {
    drawn_ = true;
    if (text.empty()) {
        return;
    }
    syncCursor();
    std::size_t pending = 0;
    auto writeUpTo = [&](std::size_t end) {
        if (end > pending) {
            std::fwrite(text.data() + pending, 1, end - pending, stdout);
        }
        pending = end;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        switch (static_cast<std::uint8_t>(text[i])) {
        case '\n':
            cursorX_ = 0;
            if (cursorY_ < lastRow) {
                ++cursorY_;
                break;
            }
            // Scrolled here, so that the new bottom row takes the attribute in force (consoles
            // differ in what they fill it with).
            writeUpTo(i);
            pending = i + 1;
            scrollUp();
            break;
        case '\r':
            cursorX_ = 0;
            break;
        case '\b':
            cursorX_ = std::max(cursorX_ - 1, 0);
            break;
        case '\a':
            break;
        case '\t': {
            const int stop = (cursorX_ / tabWidth + 1) * tabWidth;
            if (stop <= lastColumn) {
                cursorX_ = stop;
                break;
            }
            writeUpTo(i);
            std::fwrite(blankRow.data(), 1, static_cast<std::size_t>(lastColumn - cursorX_),
                        stdout);
            pending = i + 1;
            cursorX_ = lastColumn;
            break;
        }
        default:
            if (cursorX_ < lastColumn) {
                ++cursorX_;
                break;
            }
            writeUpTo(i);
            writeUpTo(i + 1);
            break;
        }
    }
    writeUpTo(text.size());
    std::fflush(stdout);
}

void Win32Console::scrollUp() {
    HANDLE output = standardOutput();
    std::fflush(stdout);
    const SMALL_RECT below{0, 1, lastColumn, lastRow};
    CHAR_INFO fill;
    fill.Char.AsciiChar = ' ';
    fill.Attributes = attribute();
    ScrollConsoleScreenBufferA(output, &below, nullptr, coord(0, 0), &fill);
    SetConsoleCursorPosition(output, coord(0, lastRow));
}

void Win32Console::syncCursor() {
    if (cursorKnown_) {
        return;
    }
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(standardOutput(), &info)) {
        cursorX_ = std::clamp<int>(info.dwCursorPosition.X, 0, lastColumn);
        cursorY_ = std::clamp<int>(info.dwCursorPosition.Y, 0, lastRow);
        cursorKnown_ = true;
    }
}

void Win32Console::writeGlyphs(std::string_view glyphs) {
    drawn_ = true;
    if (glyphs.empty()) {
        return;
    }
    HANDLE output = standardOutput();
    syncCursor();
    const WORD attribute = this->attribute();
    std::array<WORD, screenWidth> attributes;
    attributes.fill(attribute);
    // Stores bytes as characters (never as controls) in one row, with the attribute in force.
    auto store = [&](const char* bytes, int count, int x) {
        DWORD written = 0;
        WriteConsoleOutputCharacterA(output, bytes, static_cast<DWORD>(count), coord(x, cursorY_),
                                     &written);
        WriteConsoleOutputAttribute(output, attributes.data(), static_cast<DWORD>(count),
                                    coord(x, cursorY_), &written);
    };
    // Each byte advances the cursor by one column but not past the last one, where every further
    // byte lands on the same cell: only the last of those stays.
    const int beforeLast = lastColumn - cursorX_;
    const int count = static_cast<int>(std::min<std::size_t>(glyphs.size(), screenCellCount));
    if (count <= beforeLast) {
        store(glyphs.data(), count, cursorX_);
        cursorX_ += count;
    } else {
        if (beforeLast > 0) {
            store(glyphs.data(), beforeLast, cursorX_);
        }
        store(&glyphs.back(), 1, lastColumn);
        cursorX_ = lastColumn;
    }
    SetConsoleCursorPosition(output, coord(cursorX_, cursorY_));
}

void Win32Console::present() {
    if (!drawn_) {
        return;
    }
    drawn_ = false;
    HWND window = GetConsoleWindow();
    if (window == nullptr) {
        return;
    }
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

bool Win32Console::readBack(ConsoleReadback& out) const {
    HANDLE output = standardOutput();
    CONSOLE_SCREEN_BUFFER_INFO info;
    CONSOLE_CURSOR_INFO cursor;
    if (!usable(output) || !GetConsoleScreenBufferInfo(output, &info) ||
        !GetConsoleCursorInfo(output, &cursor)) {
        return false;
    }
    std::array<CHAR_INFO, screenCellCount> cells{};
    SMALL_RECT region{0, 0, lastColumn, lastRow};
    if (!ReadConsoleOutputA(output, cells.data(), coord(screenWidth, screenHeight), coord(0, 0),
                            &region)) {
        return false;
    }
    for (std::size_t i = 0; i < cells.size(); ++i) {
        out.cells[i].ch = static_cast<std::uint8_t>(cells[i].Char.AsciiChar);
        out.cells[i].attribute = static_cast<std::uint16_t>(cells[i].Attributes & 0xFF);
    }
    out.cursorX = info.dwCursorPosition.X;
    out.cursorY = info.dwCursorPosition.Y;
    out.cursorVisible = cursor.bVisible != 0;
    return true;
}

ConsoleState Win32Console::queryState() {
    ConsoleState state;
    HANDLE output = standardOutput();
    CONSOLE_SCREEN_BUFFER_INFO info;
    DWORD mode = 0;
    if (!usable(output) || !GetConsoleScreenBufferInfo(output, &info) ||
        !GetConsoleMode(output, &mode)) {
        return state;
    }
    state.available = true;
    state.bufferWidth = info.dwSize.X;
    state.bufferHeight = info.dwSize.Y;
    state.mode = mode;
    state.outputCodePage = GetConsoleOutputCP();
    char title[titleCapacity] = {};
    const DWORD length = GetConsoleTitleA(title, titleCapacity);
    state.title.assign(title, std::min<DWORD>(length, titleCapacity - 1));
    return state;
}

int consoleProcessCount() {
    DWORD processes[4] = {};
    return static_cast<int>(GetConsoleProcessList(processes, 4));
}

} // namespace platform::win32
