#include "render/MessageBox.h"

#include "core/Console.h"
#include "render/Overlay.h"
#include "world/Overlays.h"

void drawMessageBox(Console& console, const OverlayDrawing& box) {
    const MapCell topLeft{box.rect.left, box.rect.top};
    const MapCell end{box.rect.right, box.rect.bottom};
    clearRect(console, topLeft, end);
    drawFrame(console, topLeft, end, FrameStyle::Single);
    console.moveCursor(box.textCell.x, box.textCell.y);
    console.writeGlyphs(box.textView());
    console.writeText("\n");
    console.repaint();
}
