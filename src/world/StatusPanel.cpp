#include "world/StatusPanel.h"

#include "world/DayClock.h"
#include "world/Player.h"

#include <cstring>

namespace {
constexpr char dividerLeft = static_cast<char>(204);
constexpr char dividerRight = static_cast<char>(185);
constexpr char doubleHorizontal = static_cast<char>(205);
} // namespace

StatusPanel::StatusPanel() {
    dividerLine = new char[width + 1];
    dividerLine[0] = dividerLeft;
    std::memset(dividerLine + 1, doubleHorizontal, width - 2);
    dividerLine[width - 1] = dividerRight;
    dividerLine[width] = '\0';
    blankLine = new char[width - 1];
    std::memset(blankLine, ' ', width - 2);
    blankLine[width - 2] = '\0';
}

StatusPanel::~StatusPanel() {
    delete[] dividerLine;
    delete[] blankLine;
}

void StatusPanel::updateShown(const DayClock& clock, const Player& player) {
    const double s = clock.seconds;
    hours = static_cast<std::uint8_t>(static_cast<int>(s / 3600));
    minutes = static_cast<std::uint8_t>(static_cast<int>((s - hours * 3600) / 60));
    seconds = static_cast<std::uint8_t>(static_cast<int>(s - hours * 3600 - minutes * 60));
    playerX = player.x;
    playerY = player.y;
}
