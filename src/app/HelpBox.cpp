#include "app/HelpBox.h"

#include "app/KeyHelp.h"
#include "render/Overlay.h"

namespace {

// Consumes every new press of this frame; true when there was one.
bool takePresses(Controls& controls) {
    bool any = false;
    for (int slot = 0; slot < keySlotCount; ++slot) {
        any = controls.pressed(static_cast<KeySlot>(slot)) || any;
    }
    return any;
}

} // namespace

HelpBox::Step HelpBox::update(Controls& controls, bool inputChanged, bool keyWentDown, bool mayOpen,
                              const World* world) {
    const bool helpKey = !shown_ && inputChanged && mayOpen &&
                         (controls.pressed(KeySlot::Help) || controls.pressed(KeySlot::HelpF1));
    if (helpKey) {
        lines_ = helpLines(controls.keys(), world);
        rect_ = textBoxRect(lines_);
        shown_ = true;
        drawPending_ = true;
        return Step::Opened;
    }
    if (!shown_) {
        return Step::Away;
    }
    // Any key closes the box; a bound key's press is used up doing it.
    if ((inputChanged && takePresses(controls)) || keyWentDown) {
        shown_ = false;
        return Step::Closed;
    }
    return Step::Up;
}

void HelpBox::draw(Console& console) {
    if (drawPending_) {
        drawTextBox(console, rect_, lines_);
        drawPending_ = false;
    }
}
