// The boxes drawn over the map, kept by one owner: the rectangles still to be restored (newest
// last), whether the status panel is up, and the drawing that the frame's operations ask of the
// view, in the order they happened. Nothing else writes these; the view only reads the drawing
// list and clears it once drawn.
#pragma once

#include "world/MapTypes.h"
#include "world/StatusPanel.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <string_view>

// A caption longer than this is shown cut; the box then spans the whole width.
inline constexpr std::size_t maxCaptionLength = 74;

// One piece of drawing that an overlay operation asks of the view.
struct OverlayDrawing {
    enum class Kind : std::uint8_t {
        MessageBox,   // blank `rect`, frame it in single lines, write the text, repaint
        PanelOpen,    // blank `rect`, frame it in double lines, draw the whole status panel
                      // with `reading`
        PanelRefresh, // rewrite the panel's time and position lines with `reading`
        Restore,      // draw the map cells under `rect` again, then repaint
        Repaint,      // nothing to restore: just repaint
    };
    Kind kind = Kind::Repaint;
    CellRect rect{};
    MapCell textCell{};
    std::uint8_t textLength = 0;
    std::array<char, maxCaptionLength> text{};
    PanelReading reading{};

    std::string_view textView() const { return {text.data(), textLength}; }
};

class Overlays {
public:
    // A message box for `caption` (cut to 74 characters), `height` rows high, at the bottom of the
    // screen or, when the player stands on it, next to it or just below it, at the top. Its
    // rectangle is queued.
    void showMessage(std::string_view caption, MapCell player, int height);
    // Takes the newest rectangle off the queue and has the map under it drawn again; with none
    // queued, notes that no overlay lies on the map any more.
    void restore();

    // The status panel: opened over `rect` (queued like any overlay) showing `reading`, closed by
    // restoring the newest rectangle, refreshed to show `reading`, or dropped without drawing
    // when play is left.
    void openPanel(CellRect rect, const PanelReading& reading);
    void closePanel();
    void refreshPanel(const PanelReading& reading);
    void dropPanel();

    // A box that another part of the game draws over the map (the help box): its rectangle is
    // queued like any overlay's, and restore() takes it away.
    void cover(CellRect rect);

    // A link jump redraws the whole map: nothing of an overlay is left on it, and no rectangle
    // is left to restore.
    void afterJump();

    bool panelShown() const { return panelShown_; }
    // True while a rectangle painted over the map may still need restoring.
    bool onMap() const { return overlayOnMap_; }
    const std::deque<CellRect>& redrawQueue() const { return redrawQueue_; }

    // The drawing asked for since the view last drew, oldest first.
    std::span<const OverlayDrawing> drawing() const { return {drawing_.data(), drawingCount_}; }
    void drawingDone() { drawingCount_ = 0; }

private:
    OverlayDrawing& ask(OverlayDrawing::Kind kind, CellRect rect);
    void push(CellRect rect);

    std::deque<CellRect> redrawQueue_;
    bool overlayOnMap_ = false;
    bool panelShown_ = false;
    // A frame asks for at most four pieces: a command (opening or closing the panel, or a failed
    // link jump's restore and message) and the world tick (a message or a restore, and a panel
    // refresh).
    std::array<OverlayDrawing, 8> drawing_{};
    std::size_t drawingCount_ = 0;
};
