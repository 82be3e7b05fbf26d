// The status panel's record: the time of day and the player's cell as the panel shows them, taken
// every tick, and its refresh countdown. Whether it is up belongs to the world; where it lies and
// how it looks belong to its view.
#pragma once

#include <cstdint>

class DayClock;
class Player;

// The time of day and the player's cell, as the panel shows them.
struct PanelReading {
    std::uint8_t hours = 0;
    std::uint8_t minutes = 0;
    std::uint8_t seconds = 0;
    std::uint8_t playerX = 0;
    std::uint8_t playerY = 0;
};

// The time of day and the cell as the panel shows them: whole hours, minutes and seconds
// (truncated), and the cell's column and row.
PanelReading readPanel(const DayClock& clock, const Player& player);

class StatusPanel {
public:
    // Takes the time of day and the player's cell as the panel is to show them.
    void update(const DayClock& clock, const Player& player) {
        reading_ = readPanel(clock, player);
    }
    // Counts `dt` seconds off the refresh period; true (and the count starts again) when a refresh
    // is due.
    bool countDown(double dt);

    // What the panel shows now: the values of the last update.
    const PanelReading& reading() const { return reading_; }

private:
    static constexpr double refreshPeriod = 1.0;

    PanelReading reading_{};
    double refreshCountdown_ = refreshPeriod;
};
