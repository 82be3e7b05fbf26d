// What happened in play during one frame, in the order it happened: the record that the views
// draw from (and that anything else may read to follow the game). The world writes it; a frame
// holds only a few events, so the list has a fixed size and never allocates.
#pragma once

#include "core/EventList.h"
#include "world/MapTypes.h"
#include "world/StatusPanel.h"

#include <cstdint>
#include <string_view>

struct PlayEvent {
    enum class Kind : std::uint8_t {
        Stepped,        // the player stepped from `from` onto `cell`, a path when `ontoPath`
        StepRefused,    // a step from `from` onto `cell` was refused: blocked, or off the grid;
                        // `tapped` when a tap made it (a held key's steps are not)
        CaptionShown,   // the player stands on the path at `cell`, whose caption is `text`
        JumpFailed,     // the path at `cell` leads to a world that cannot be read: `text` says so
        JumpDone,       // a path was followed: a new world is loaded, the player is at `cell`
        PanelOpened,    // the status panel is up, showing `reading`
        PanelRefreshed, // the panel's once-a-second refresh, showing `reading`
        PanelClosed,    // the panel is down again
        PlayLeft,       // play was left for the menu; the panel, when `panelWasUp`, went with it
        TravelStarted,  // travel sets out for `cell`, `steps` away: the path captioned `text`,
                        // or a cell (`text` empty)
        TravelArrived,  // travel reached `cell`
        TravelStopped,  // travel stopped short of `cell`: a key, a refused step, no route left
        NoPathInReach,  // the travel key found no path to go to (`ontoPath`: none but the one
                        // stood on, captioned `text`)
        NoNearerCell,   // a click found no cell nearer to it that can be walked to
    };
    Kind kind = Kind::Stepped;
    MapCell cell{};
    MapCell from{};
    bool ontoPath = false;
    bool panelWasUp = false;
    bool tapped = false;
    // Stepped: a step travel took. TravelStarted: the route's length.
    bool byTravel = false;
    int steps = 0;
    PanelReading reading{};
    // Valid until the next frame (a caption of the world shown, or the world's failure message).
    std::string_view text;
};

// A frame has at most six (a command's, travel setting out, a step and a caption, travel
// arriving, a refresh).
using PlayEvents = EventList<PlayEvent, 8>;
