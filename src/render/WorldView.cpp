#include "render/WorldView.h"

#include "core/Console.h"
#include "render/MapView.h"
#include "render/MessageBox.h"
#include "render/StatusPanelView.h"
#include "world/World.h"

#include <algorithm>

namespace {

bool inside(MapCell cell, CellRect rect) {
    return cell.x >= rect.left && cell.x < rect.right && cell.y >= rect.top && cell.y < rect.bottom;
}

// True when something drawn over `drawn` reaches the frame of the box `box`: they meet, and
// `drawn` does not lie within the box's inside.
bool touchesFrame(CellRect box, CellRect drawn) {
    const bool meet = drawn.left < box.right && box.left < drawn.right && drawn.top < box.bottom &&
                      box.top < drawn.bottom;
    const bool within = drawn.left > box.left && drawn.right < box.right && drawn.top > box.top &&
                        drawn.bottom < box.bottom;
    return meet && !within;
}

} // namespace

void WorldView::push(CellRect rect) {
    boxes_.push_back(rect);
    boxOnMap_ = true;
    drawnOver(rect);
    if (wholeCount_ == whole_.size()) {
        std::shift_left(whole_.begin(), whole_.end(), 1);
        --wholeCount_;
    }
    whole_[wholeCount_++] = rect;
}

void WorldView::drawnOver(CellRect rect) {
    const auto end = std::remove_if(whole_.begin(), whole_.begin() + wholeCount_,
                                    [rect](CellRect box) { return touchesFrame(box, rect); });
    wholeCount_ = static_cast<std::size_t>(end - whole_.begin());
    if (playerShown_ && inside(*playerShown_, rect)) {
        playerShown_.reset();
    }
}

void WorldView::drawnOver(MapCell cell) {
    drawnOver(CellRect{cell.x, cell.y, static_cast<std::uint8_t>(cell.x + 1),
                       static_cast<std::uint8_t>(cell.y + 1)});
}

void WorldView::forgetScreen() {
    wholeCount_ = 0;
    playerShown_.reset();
}

void WorldView::takeOff(Console& console, const WorldMap& map) {
    if (boxes_.empty()) {
        boxOnMap_ = false;
        return;
    }
    drawMapRect(console, map, boxes_.back());
    drawnOver(boxes_.back());
    boxes_.pop_back();
}

void WorldView::showMessage(Console& console, std::string_view text, MapCell player) {
    const CellRect rect = messageBoxRect(text, player);
    push(rect);
    drawMessageBox(console, rect, text);
}

void WorldView::cover(CellRect rect) { push(rect); }

void WorldView::uncover() {
    uncoverDue_ = true;
    playerDue_ = true;
}

void WorldView::follow(const World& world) {
    for (const PlayEvent& event : world.events()) {
        if (event.kind == PlayEvent::Kind::PlayLeft) {
            leftPlay();
        }
    }
    mapShown_ = false;
    forgetScreen();
}

void WorldView::leftPlay() {
    // The title screen covers the panel: its rectangle needs no restoring, and the map is drawn
    // whole when play resumes.
    if (panelUp_ && !boxes_.empty()) {
        boxes_.pop_back();
    }
    panelUp_ = false;
    mapShown_ = false;
}

void WorldView::draw(Console& console, const World& world) {
    const WorldMap& map = world.map();
    if (uncoverDue_) {
        uncoverDue_ = false;
        takeOff(console, map);
    }
    bool newWorld = false;
    for (const PlayEvent& event : world.events()) {
        switch (event.kind) {
        case PlayEvent::Kind::Stepped:
            playerDue_ = true;
            if (!event.ontoPath && boxOnMap_) {
                takeOff(console, map);
            }
            break;
        case PlayEvent::Kind::StepRefused:
        // Travel shows itself only in the player's steps.
        case PlayEvent::Kind::TravelStarted:
        case PlayEvent::Kind::TravelArrived:
        case PlayEvent::Kind::TravelStopped:
        case PlayEvent::Kind::NoPathInReach:
        case PlayEvent::Kind::NoNearerCell:
            break;
        case PlayEvent::Kind::CaptionShown:
            showMessage(console, event.text, event.cell);
            break;
        case PlayEvent::Kind::JumpFailed:
            // In place of the path's caption box, so that trying again never piles boxes up.
            takeOff(console, map);
            showMessage(console, event.text, event.cell);
            break;
        case PlayEvent::Kind::JumpDone:
            // The new world is drawn whole: no box is left on it.
            boxes_.clear();
            boxOnMap_ = false;
            newWorld = true;
            break;
        case PlayEvent::Kind::PanelOpened:
            push(panelRect);
            panelUp_ = true;
            drawStatusPanelBox(console, event.reading);
            break;
        case PlayEvent::Kind::PanelRefreshed:
            drawStatusPanel(console, event.reading, true);
            break;
        case PlayEvent::Kind::PanelClosed:
            takeOff(console, map);
            panelUp_ = false;
            playerDue_ = true;
            break;
        case PlayEvent::Kind::PlayLeft:
            // Left and resumed in one frame (Escape, and the menu's choice at once).
            leftPlay();
            break;
        }
    }
    if (!mapShown_ || newWorld) {
        drawMap(console, map);
        forgetScreen();
        mapShown_ = true;
        playerDue_ = true;
    }
    if (playerDue_) {
        const MapCell from = world.player().previousCell();
        const MapCell cell = world.player().cell();
        console.moveCursor(from.x, from.y);
        drawMapCell(console, map.at(from));
        drawnOver(from);
        console.moveCursor(cell.x, cell.y);
        console.setAttribute(attrBrightWhite);
        const char glyph = static_cast<char>(playerGlyph);
        console.writeGlyphs(std::string_view(&glyph, 1));
        drawnOver(cell);
        playerShown_ = cell;
        playerDue_ = false;
    }
}
