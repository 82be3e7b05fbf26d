#include "win32/Win32Keyboard.h"

#include "win32/ControlHandler.h"
#include "win32/WindowsApi.h"

#include <algorithm>

namespace platform::win32 {

namespace {

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

void Win32Keyboard::open(bool screenShown) {
    screenShown_ = screenShown;
    control::install();
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
    if (mouseInput()) {
        mode = (mode | ENABLE_MOUSE_INPUT | ENABLE_EXTENDED_FLAGS) &
               ~static_cast<DWORD>(ENABLE_QUICK_EDIT_MODE);
    }
    SetConsoleMode(static_cast<HANDLE>(input_), mode);
}

void Win32Keyboard::restore() {
    control::remove();
    if (input_ == nullptr) {
        return;
    }
    // QuickEdit is only given back with the extended flags.
    SetConsoleMode(static_cast<HANDLE>(input_),
                   savedMode_ | (mouseInput() ? ENABLE_EXTENDED_FLAGS : 0));
    CloseHandle(static_cast<HANDLE>(input_));
    input_ = nullptr;
    modeSaved_ = false;
}

void Win32Keyboard::useKeys(std::span<const std::int32_t> codes) {
    mouse_ = std::find(codes.begin(), codes.end(), VK_LBUTTON) != codes.end();
    applyMode();
}

void Win32Keyboard::deliverClicks(bool on) {
    clicks_ = on;
    applyMode();
}

void Win32Keyboard::keyEvent(int vk, int sided, bool pressed) {
    for (const int code : {vk, sided}) {
        if (keys_.set(code, pressed)) {
            // A press still held when it is read tells whether the desktop's state can be
            // trusted to say when it ends.
            keyStateAgrees_ = keyStateAgrees_ || physicallyDown(code);
            foregroundAgrees_ = foregroundAgrees_ || consoleHasFocus(GetConsoleWindow());
        }
    }
}

// FROM_LEFT_1ST_BUTTON_PRESSED is the primary button, the one VK_LBUTTON names (the right one
// where the buttons are swapped), for the key and the clicks alike.
void Win32Keyboard::mouseEvent(int x, int y, std::uint32_t buttons, std::uint32_t flags) {
    const bool left = (buttons & FROM_LEFT_1ST_BUTTON_PRESSED) != 0;
    if (mouse_) {
        keyEvent(VK_LBUTTON, 0, left);
    }
    // A press, or the second press of a double click; a move or a wheel's turn with the button
    // held is no press.
    const bool pressed =
        left && !leftDown_ && (flags & ~static_cast<std::uint32_t>(DOUBLE_CLICK)) == 0;
    leftDown_ = left;
    if (pressed && clicks_ && screenShown_) {
        // The buffer is the screen: its cells past the screen's (in a buffer the user made larger)
        // show none of it.
        click_ = x >= 0 && x < screenWidth && y >= 0 && y < screenHeight
                     ? std::optional<ScreenPoint>(ScreenPoint{x, y})
                     : std::nullopt;
    }
}

void Win32Keyboard::releaseAll() { keys_.releaseAll(); }

void Win32Keyboard::checkFocus() {
    if (!keys_.anyDown()) {
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
        if (keys_.down(vk) && !physicallyDown(vk)) {
            keys_.setDown(vk, false);
        }
    }
}

InputStatus Win32Keyboard::sample() {
    click_.reset();
    const InputStatus status = control::ending();
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
            case MOUSE_EVENT: {
                const MOUSE_EVENT_RECORD& mouse = record.Event.MouseEvent;
                mouseEvent(mouse.dwMousePosition.X, mouse.dwMousePosition.Y, mouse.dwButtonState,
                           mouse.dwEventFlags);
                break;
            }
            case FOCUS_EVENT:
                releaseAll();
                break;
            default:
                break;
            }
        }
    }
    checkFocus();
    keys_.poll();
    return InputStatus::Keys;
}

void Win32Keyboard::waitForInput(std::int64_t timeoutMs) {
    HANDLE handles[2];
    DWORD count = 0;
    if (HANDLE signal = control::wakeEvent(); signal != nullptr) {
        handles[count++] = signal;
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

bool Win32Keyboard::isDown(int vk) { return keys_.isDown(vk); }

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

} // namespace platform::win32
