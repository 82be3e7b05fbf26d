#include "world/DayClock.h"

void DayClock::advance(double dt) {
    seconds = rate * dt + seconds;
    if (seconds > secondsPerDay) {
        seconds = 0.0;
    }
}
