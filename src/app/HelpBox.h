// The help box: the keys of every action and, in play, where the player stands, in a box over the
// title screen or the map. The help key (or F1) opens it; the next press of any key, bound or not,
// closes it and does nothing else. While it is up the game stands still.
#pragma once

#include "core/Controls.h"
#include "world/MapTypes.h"

#include <span>
#include <string>
#include <vector>

class Console;
class World;

class HelpBox {
public:
    // What the box did in a frame.
    enum class Step {
        Away,   // it is not up: the frame goes on
        Opened, // the help key opened it: the frame does nothing else
        Up,     // it stays up: the game stands still
        Closed, // a key closed it: the frame does nothing else
    };

    // The box's rule for one frame, after the keys were read into `controls` (`inputChanged`
    // when a bound key is down or just came up, `keyWentDown` when any key went down). It opens
    // only when `mayOpen`, with the keys `controls` holds and, in play (`world` not null), the
    // player's place.
    Step update(Controls& controls, bool inputChanged, bool keyWentDown, bool mayOpen,
                const World* world);

    bool shown() const { return shown_; }
    std::span<const std::string> lines() const { return lines_; }
    const CellRect& rect() const { return rect_; }

    // Draws the box when it opened since the last draw.
    void draw(Console& console);

private:
    bool shown_ = false;
    std::vector<std::string> lines_;
    CellRect rect_{};
    bool drawPending_ = false;
};
