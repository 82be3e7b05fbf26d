#include "world/StatusPanel.h"

#include "core/FrameGlyphs.h"
#include "world/DayClock.h"
#include "world/Player.h"

namespace {

char glyph(FrameGlyph kind) { return static_cast<char>(frameGlyph(FrameStyle::Double, kind)); }

} // namespace

StatusPanel::StatusPanel()
    : dividerLine(static_cast<std::size_t>(width - 2), glyph(FrameGlyph::Horizontal)),
      blankLine(static_cast<std::size_t>(width - 2), ' ') {
    dividerLine.insert(dividerLine.begin(), glyph(FrameGlyph::LeftTee));
    dividerLine.push_back(glyph(FrameGlyph::RightTee));
}

void StatusPanel::updateShown(const DayClock& clock, const Player& player) {
    const double s = clock.seconds;
    hours = static_cast<std::uint8_t>(static_cast<int>(s / 3600));
    minutes = static_cast<std::uint8_t>(static_cast<int>((s - hours * 3600) / 60));
    seconds = static_cast<std::uint8_t>(static_cast<int>(s - hours * 3600 - minutes * 60));
    playerX = player.x;
    playerY = player.y;
}
