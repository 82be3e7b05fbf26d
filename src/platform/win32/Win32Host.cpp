// The host on Windows: the console the program was started in (or that Windows opened for it on a
// double-click), the keys of that console and the system clock. For speech the game's screen is
// drawn into memory only: the console keeps its size, buffer, title, cursor and colours, and gets
// the game's sentences as lines.
#include "Host.h"
#include "ModelConsole.h"
#include "ScreenText.h"
#include "win32/Win32Clock.h"
#include "win32/Win32Console.h"
#include "win32/Win32Keyboard.h"
#include "win32/WindowsApi.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace platform {

namespace {

constexpr std::string_view closePrompt = "Press any key to close this window.";

} // namespace

struct Host::Impl {
    win32::Win32Console console;
    // Heard, the game draws here, where only a failed start's message is read back.
    ModelConsole heard;
    win32::Win32Keyboard keyboard;
    win32::Win32Clock clock;
    bool open = false;
    bool speaking = false;
    // The line being written, in UTF-16 for the console; kept to spare an allocation a sentence.
    std::wstring wide;

    // Writes one line of UTF-8 text where the user's lines stand: through the console's own
    // output when standard output is the console, else as text to wherever it was redirected.
    void writeLine(std::string_view line) {
        HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
        DWORD mode = 0;
        if (output == nullptr || output == INVALID_HANDLE_VALUE || !GetConsoleMode(output, &mode)) {
            std::fwrite(line.data(), 1, line.size(), stdout);
            std::fputc('\n', stdout);
            std::fflush(stdout);
            return;
        }
        const int length = static_cast<int>(line.size());
        const int needed = MultiByteToWideChar(CP_UTF8, 0, line.data(), length, nullptr, 0);
        wide.resize(static_cast<std::size_t>(needed));
        MultiByteToWideChar(CP_UTF8, 0, line.data(), length, wide.data(), needed);
        wide.append(L"\r\n");
        DWORD written = 0;
        WriteConsoleW(output, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    }
};

Host::Host() : impl_(std::make_unique<Impl>()) {}

Host::~Host() = default;

bool Host::open(std::string& error, HostMode mode) {
    impl_->speaking = mode == HostMode::Speech;
    if (impl_->speaking) {
        // The keys come from the console's input; the sentences may go anywhere.
        impl_->keyboard.open(false);
        if (!impl_->keyboard.hasConsoleInput()) {
            impl_->keyboard.restore();
            error = "the game reads its keys from a console window: start it from a console";
            return false;
        }
        impl_->open = true;
        return true;
    }
    if (!win32::Win32Console::attached()) {
        error = "the game draws into a console window: start it from a console or by "
                "double-click, without redirecting its output";
        return false;
    }
    impl_->keyboard.open(true);
    impl_->open = true;
    return true;
}

Services Host::services() {
    ConsoleDevice* console = impl_->speaking ? static_cast<ConsoleDevice*>(&impl_->heard)
                                             : static_cast<ConsoleDevice*>(&impl_->console);
    return Services{console, &impl_->keyboard, &impl_->clock};
}

void Host::say(std::string_view sentence) {
    if (impl_->open && impl_->speaking) {
        impl_->writeLine(sentence);
    }
}

void Host::close(int exitStatus) {
    if (!impl_->open) {
        return;
    }
    impl_->open = false;
    impl_->keyboard.restore();
    // Heard, the console stays as the sentences left it, unless a message says why the game
    // could not start: its rows are written as lines.
    const bool failed = exitStatus != 0 && exitStatus < 128;
    if (impl_->speaking && failed) {
        const ScreenCells& cells = impl_->heard.model().cells();
        for (int y = 0; y < screenHeight; ++y) {
            const std::string row = screenRowText(cells, y);
            const std::size_t end = row.find_last_not_of(' ');
            if (end != std::string::npos) {
                impl_->writeLine(std::string_view(row).substr(0, end + 1));
            }
        }
    }
    // A console of its own closes with the program: keep a failed start's message readable. A
    // game ended by Ctrl-C or the window's closing, like a quit, goes at once.
    if (failed && win32::consoleProcessCount() == 1) {
        if (impl_->speaking) {
            impl_->writeLine(closePrompt);
        } else {
            impl_->console.writeText("\n\n" + std::string(closePrompt));
        }
        win32::waitForKeyPress();
    }
    impl_->console.restore();
}

} // namespace platform
