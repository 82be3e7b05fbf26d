#include "ansi/Notice.h"

#include "Platform.h"
#include "ansi/Presenter.h"

#include <algorithm>
#include <vector>

namespace platform::ansi {

bool tooSmallForView(int columns, int rows) {
    return columns < minViewColumns || rows < minViewRows;
}

std::string noticeBytes(int columns, int rows, bool erases) {
    const std::string notice =
        "The terminal is " + std::to_string(columns) + " x " + std::to_string(rows) +
        ". Tharvok needs at least " + std::to_string(minViewColumns) + " x " +
        std::to_string(minViewRows) + " (" + std::to_string(screenWidth) + " x " +
        std::to_string(screenHeight) + " to show it whole): please make the window larger.";
    const auto width = static_cast<std::size_t>(std::max(columns, 1));
    std::vector<std::string> lines(1);
    std::size_t at = 0;
    while (at < notice.size()) {
        std::size_t end = notice.find(' ', at);
        if (end == std::string::npos) {
            end = notice.size();
        }
        const std::size_t length = std::min(end - at, width);
        if (!lines.back().empty() && lines.back().size() + 1 + length > width) {
            lines.emplace_back();
        }
        if (!lines.back().empty()) {
            lines.back().push_back(' ');
        }
        lines.back().append(notice, at, length);
        at = end == notice.size() ? end : end + 1;
    }
    std::string bytes = "\x1b[0;" + std::to_string(ansiForeground(7)) + ";" +
                        std::to_string(ansiBackground(0)) + "m\x1b[H\x1b[2J";
    for (int row = 0; row < rows; ++row) {
        const auto index = static_cast<std::size_t>(row);
        if (index >= lines.size() && erases) {
            break;
        }
        std::string line = index < lines.size() ? lines[index] : std::string();
        if (!erases) {
            line.resize(width, ' ');
        }
        bytes += "\x1b[" + std::to_string(row + 1) + "H" + line;
    }
    // The notice goes up while the window is being resized: the cursor waits at the top-left,
    // where a smaller window pushes no line away.
    return bytes + "\x1b[H";
}

} // namespace platform::ansi
