#include "world/DayClock.h"

void DayClock::advance(double dt) {
    seconds_ = rate_ * dt + seconds_;
    if (seconds_ > secondsPerDay) {
        seconds_ = 0.0;
    }
}
