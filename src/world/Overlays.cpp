#include "world/Overlays.h"

#include <algorithm>

void Overlays::showMessage(std::string_view caption, MapCell player, int height) {
    if (caption.size() > maxCaptionLength) {
        caption = caption.substr(0, maxCaptionLength);
    }
    const int n = static_cast<int>(caption.size());
    const int textColumn = (platform::screenWidth - n) / 2;
    const int left = textColumn - 3;
    const int right = textColumn + n + 3;
    int top = platform::lastRow - height;
    int bottom = platform::lastRow;
    // Out of the player's way: to the top when the player stands on the box, right next to it or
    // in the row below it.
    if (player.y >= top - 1 && player.y <= platform::lastRow && player.x >= left - 1 &&
        player.x <= right) {
        top = 1;
        bottom = height + 1;
    }
    const CellRect rect{static_cast<std::uint8_t>(left), static_cast<std::uint8_t>(top),
                        static_cast<std::uint8_t>(right), static_cast<std::uint8_t>(bottom)};
    push(rect);
    OverlayDrawing& box = ask(OverlayDrawing::Kind::MessageBox, rect);
    box.textCell =
        MapCell{static_cast<std::uint8_t>(textColumn), static_cast<std::uint8_t>(top + height / 2)};
    box.textLength = static_cast<std::uint8_t>(n);
    std::copy(caption.begin(), caption.end(), box.text.begin());
}

void Overlays::restore() {
    if (redrawQueue_.empty()) {
        overlayOnMap_ = false;
        ask(OverlayDrawing::Kind::Repaint, CellRect{});
        return;
    }
    ask(OverlayDrawing::Kind::Restore, redrawQueue_.back());
    redrawQueue_.pop_back();
}

void Overlays::openPanel(CellRect rect, const PanelReading& reading) {
    push(rect);
    panelShown_ = true;
    ask(OverlayDrawing::Kind::PanelOpen, rect).reading = reading;
}

void Overlays::closePanel() {
    restore();
    panelShown_ = false;
}

void Overlays::refreshPanel(const PanelReading& reading) {
    if (panelShown_) {
        ask(OverlayDrawing::Kind::PanelRefresh, CellRect{}).reading = reading;
    }
}

void Overlays::dropPanel() {
    if (panelShown_ && !redrawQueue_.empty()) {
        redrawQueue_.pop_back();
    }
    panelShown_ = false;
    drawingCount_ = 0;
}

void Overlays::cover(CellRect rect) { push(rect); }

void Overlays::afterJump() {
    redrawQueue_.clear();
    overlayOnMap_ = false;
}

void Overlays::push(CellRect rect) {
    redrawQueue_.push_back(rect);
    overlayOnMap_ = true;
}

OverlayDrawing& Overlays::ask(OverlayDrawing::Kind kind, CellRect rect) {
    // Never more than a frame asks for (see drawing_); should that ever change, the newest piece
    // takes the last place rather than writing past the list.
    drawingCount_ = std::min(drawingCount_ + 1, drawing_.size());
    OverlayDrawing& piece = drawing_[drawingCount_ - 1];
    piece = OverlayDrawing{};
    piece.kind = kind;
    piece.rect = rect;
    return piece;
}
