#include "win32/Win32Console.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <atomic>
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

bool usable(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

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

namespace {

// What a console control event asked for, for the next poll, and the event that wakes a wait
// for it: set by the handler, which Windows calls on a thread of its own.
std::atomic<InputStatus> controlStatus{InputStatus::Keys};
HANDLE controlSignal = nullptr;

BOOL WINAPI onControl(DWORD type) {
    switch (type) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        controlStatus.store(InputStatus::Interrupted);
        break;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        controlStatus.store(InputStatus::HungUp);
        break;
    default:
        return FALSE;
    }
    if (controlSignal != nullptr) {
        SetEvent(controlSignal);
    }
    // The game ends at its next poll; a closing window ends the process soon after anyway.
    return type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT ? TRUE : FALSE;
}

// The console's input records read in one go, and how many goes a poll takes at most.
constexpr DWORD recordBatch = 64;
constexpr int maxBatchesPerPoll = 16;
constexpr DWORD scanRightShift = 0x36;

// The left or right variant of a modifier key event; 0 for other keys.
int sidedKey(const KEY_EVENT_RECORD& key) {
    const bool enhanced = (key.dwControlKeyState & ENHANCED_KEY) != 0;
    switch (key.wVirtualKeyCode) {
    case VK_SHIFT:
        return key.wVirtualScanCode == scanRightShift ? VK_RSHIFT : VK_LSHIFT;
    case VK_CONTROL:
        return enhanced ? VK_RCONTROL : VK_LCONTROL;
    case VK_MENU:
        return enhanced ? VK_RMENU : VK_LMENU;
    default:
        return 0;
    }
}

bool physicallyDown(int vk) {
    if (vk == VK_LBUTTON && GetSystemMetrics(SM_SWAPBUTTON) != 0) {
        vk = VK_RBUTTON; // the state is the physical button's
    }
    return keyStateIsDown(static_cast<std::uint16_t>(GetAsyncKeyState(vk)));
}

bool consoleHasFocus(HWND window) { return window != nullptr && GetForegroundWindow() == window; }

} // namespace

Win32Keyboard::~Win32Keyboard() { restore(); }

void Win32Keyboard::open() {
    if (controlSignal == nullptr) {
        controlSignal = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    SetConsoleCtrlHandler(onControl, TRUE);
    HANDLE input =
        CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD mode = 0;
    if (!usable(input) || !GetConsoleMode(input, &mode)) {
        if (usable(input)) {
            CloseHandle(input);
        }
        return;
    }
    input_ = input;
    savedMode_ = mode;
    modeSaved_ = true;
    applyMode();
}

void Win32Keyboard::applyMode() {
    if (!modeSaved_) {
        return;
    }
    // Keys come as key events with their virtual-key codes, never as terminal sequences.
    DWORD mode =
        savedMode_ & ~static_cast<DWORD>(ENABLE_VIRTUAL_TERMINAL_INPUT | ENABLE_MOUSE_INPUT);
    if (mouse_) {
        mode = (mode | ENABLE_MOUSE_INPUT | ENABLE_EXTENDED_FLAGS) &
               ~static_cast<DWORD>(ENABLE_QUICK_EDIT_MODE);
    }
    SetConsoleMode(static_cast<HANDLE>(input_), mode);
}

void Win32Keyboard::restore() {
    SetConsoleCtrlHandler(onControl, FALSE);
    if (input_ == nullptr) {
        return;
    }
    // QuickEdit is only given back with the extended flags.
    SetConsoleMode(static_cast<HANDLE>(input_), savedMode_ | (mouse_ ? ENABLE_EXTENDED_FLAGS : 0));
    CloseHandle(static_cast<HANDLE>(input_));
    input_ = nullptr;
    modeSaved_ = false;
}

void Win32Keyboard::useKeys(std::span<const std::int32_t> codes) {
    mouse_ = std::find(codes.begin(), codes.end(), VK_LBUTTON) != codes.end();
    applyMode();
}

void Win32Keyboard::keyEvent(int vk, int sided, bool pressed) {
    for (const int code : {vk, sided}) {
        if (code <= 0 || code > 255) {
            continue;
        }
        const auto k = static_cast<std::size_t>(code);
        if (pressed && !down_[k]) {
            downSincePoll_[k] = true;
            if (firstDown_ == 0) {
                firstDown_ = code;
            }
            // A press still held when it is read tells whether the desktop's state can be
            // trusted to say when it ends.
            keyStateAgrees_ = keyStateAgrees_ || physicallyDown(code);
            foregroundAgrees_ = foregroundAgrees_ || consoleHasFocus(GetConsoleWindow());
        }
        down_[k] = pressed;
    }
}

void Win32Keyboard::leftButton(bool pressed) { keyEvent(VK_LBUTTON, 0, pressed); }

void Win32Keyboard::releaseAll() { down_.fill(false); }

void Win32Keyboard::checkFocus() {
    if (std::find(down_.begin(), down_.end(), true) == down_.end()) {
        return;
    }
    if (foregroundAgrees_ && !consoleHasFocus(GetConsoleWindow())) {
        releaseAll();
        return;
    }
    if (!keyStateAgrees_) {
        return;
    }
    for (int vk = 1; vk < 256; ++vk) {
        if (down_[static_cast<std::size_t>(vk)] && !physicallyDown(vk)) {
            down_[static_cast<std::size_t>(vk)] = false;
        }
    }
}

InputStatus Win32Keyboard::sample() {
    const InputStatus status = controlStatus.load();
    if (status != InputStatus::Keys) {
        return status;
    }
    HANDLE input = static_cast<HANDLE>(input_);
    for (int batch = 0; input != nullptr && batch < maxBatchesPerPoll; ++batch) {
        DWORD waiting = 0;
        INPUT_RECORD records[recordBatch];
        DWORD read = 0;
        if (!GetNumberOfConsoleInputEvents(input, &waiting) || waiting == 0 ||
            !ReadConsoleInputW(input, records, recordBatch, &read)) {
            break;
        }
        for (DWORD i = 0; i < read; ++i) {
            const INPUT_RECORD& record = records[i];
            switch (record.EventType) {
            case KEY_EVENT: {
                const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
                keyEvent(key.wVirtualKeyCode, sidedKey(key), key.bKeyDown != 0);
                break;
            }
            case MOUSE_EVENT:
                if (mouse_) {
                    leftButton((record.Event.MouseEvent.dwButtonState &
                                FROM_LEFT_1ST_BUTTON_PRESSED) != 0);
                }
                break;
            case FOCUS_EVENT:
                releaseAll();
                break;
            default:
                break;
            }
        }
    }
    checkFocus();
    for (std::size_t k = 0; k < down_.size(); ++k) {
        polled_[k] = down_[k] || downSincePoll_[k];
    }
    downSincePoll_.fill(false);
    wentDown_ = firstDown_;
    firstDown_ = 0;
    return InputStatus::Keys;
}

void Win32Keyboard::waitForInput(std::int64_t timeoutMs) {
    HANDLE handles[2];
    DWORD count = 0;
    if (controlSignal != nullptr) {
        handles[count++] = controlSignal;
    }
    if (input_ != nullptr) {
        handles[count++] = static_cast<HANDLE>(input_);
    }
    const DWORD timeout =
        timeoutMs < 0
            ? INFINITE
            : static_cast<DWORD>(std::min<std::int64_t>(timeoutMs, std::int64_t{INFINITE} - 1));
    if (count == 0) {
        // Nothing to wait on: the time passes all the same, so that no loop spins.
        if (timeoutMs >= 0) {
            Sleep(timeout);
        }
        return;
    }
    WaitForMultipleObjects(count, handles, FALSE, timeout);
}

bool Win32Keyboard::isDown(int vk) {
    if (vk <= 0 || vk > 255) {
        return false;
    }
    return polled_[static_cast<std::size_t>(vk)];
}

std::int64_t Win32Clock::nowMs() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t count =
        (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return fileTimeToUnixMs(count);
}

LocalTime Win32Clock::localTime() {
    SYSTEMTIME local;
    GetLocalTime(&local);
    return LocalTime{local.wHour, local.wMinute, local.wSecond};
}

void waitForKeyPress() {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (!usable(input) || !GetConsoleMode(input, &mode)) {
        return;
    }
    for (;;) {
        INPUT_RECORD record;
        DWORD read = 0;
        if (!ReadConsoleInputW(input, &record, 1, &read)) {
            return;
        }
        if (read == 1 && record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) {
            return;
        }
    }
}

int consoleProcessCount() {
    DWORD processes[4] = {};
    return static_cast<int>(GetConsoleProcessList(processes, 4));
}

} // namespace platform::win32
