// What the game reads from outside, told as it reads it: the local time of day it starts at, each
// world file, and each frame's input. The recorder writes it down; the replay runner checks the
// world files against a recording's.
#pragma once

#include "core/FrameInput.h"
#include "platform/Platform.h"
#include "world/WorldFiles.h"

class GameInputObserver : public WorldFileObserver {
public:
    virtual void startedAt(platform::LocalTime time) = 0;
    // A frame's input, read and about to be played (a frame that ended the game is not told).
    virtual void frameRead(const FrameInput& input) = 0;

protected:
    ~GameInputObserver() = default;
};
