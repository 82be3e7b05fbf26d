// A console device that draws into a screen model held in memory: every call acts on the model
// at once. The back ends that draw into memory first (the terminal, the page, the Windows host
// when the game is heard, the virtual console) build on it and keep only what is their own: how a
// frame reaches the screen (present), the title, the set-up.
#pragma once

#include "Platform.h"
#include "ScreenModel.h"

#include <cstdint>
#include <string_view>

namespace platform {

class ModelConsole : public ConsoleDevice {
public:
    void setUp(std::string_view /*title*/) override {}
    void setCursorPosition(int x, int y) override;
    void setCursorVisible(bool visible) override;
    // The pen only: nothing shows different until it writes.
    void setAttribute(std::uint16_t attribute) override { model_.setAttribute(attribute); }
    std::uint16_t attribute() const override { return model_.attribute(); }
    void fillCharacters(int x, int y, std::uint8_t ch, int count) override;
    void fillAttributes(int x, int y, std::uint16_t attribute, int count) override;
    void writeText(std::string_view text) override;
    void writeGlyphs(std::string_view glyphs) override;
    void present() override {}

    const ScreenModel& model() const { return model_; }
    // The calls that may have changed what the screen shows (all but setAttribute) since
    // construction: a back end that compares it with its value at the last present knows
    // whether anything was drawn in between.
    std::uint64_t changes() const { return changes_; }

private:
    ScreenModel model_;
    std::uint64_t changes_ = 0;
};

} // namespace platform
