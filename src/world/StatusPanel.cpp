#include "world/StatusPanel.h"

#include "world/DayClock.h"
#include "world/Player.h"

PanelReading readPanel(const DayClock& clock, const Player& player) {
    const double s = clock.seconds();
    PanelReading reading;
    reading.hours = static_cast<std::uint8_t>(static_cast<int>(s / 3600));
    reading.minutes = static_cast<std::uint8_t>(static_cast<int>((s - reading.hours * 3600) / 60));
    reading.seconds = static_cast<std::uint8_t>(
        static_cast<int>(s - reading.hours * 3600 - reading.minutes * 60));
    reading.playerX = player.cell().x;
    reading.playerY = player.cell().y;
    return reading;
}

bool StatusPanel::countDown(double dt) {
    refreshCountdown_ -= dt;
    if (refreshCountdown_ > 0) {
        return false;
    }
    refreshCountdown_ = refreshPeriod;
    return true;
}
