#include "app/ScreenFocus.h"

#include "menu/TitleScreen.h"
#include "render/WorldView.h"

#include <algorithm>
#include <string_view>

namespace {

platform::Area areaOf(CellRect rect) {
    return platform::Area{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

} // namespace

platform::Focus frameFocus(GameState state, const WorldView& worldView, const CellRect* helpBox,
                           std::string_view farewell) {
    platform::Focus focus;
    switch (state) {
    case GameState::Quit:
        return textFocus(0, 1, farewell.size());
    case GameState::Menu:
        if (helpBox != nullptr) {
            focus.addBox(areaOf(*helpBox));
        }
        focus.lines = titleArea();
        break;
    case GameState::Playing: {
        // The help box over the map is among the view's boxes.
        if (const std::optional<MapCell> player = worldView.playerShown()) {
            focus.hasPlayer = true;
            focus.playerX = player->x;
            focus.playerY = player->y;
        }
        const std::span<const CellRect> boxes = worldView.wholeBoxes();
        for (auto box = boxes.rbegin(); box != boxes.rend(); ++box) {
            focus.addBox(areaOf(*box));
        }
        break;
    }
    }
    return focus;
}

platform::Focus textFocus(int top, int rows, std::size_t longest) {
    platform::Focus focus;
    const int width = static_cast<int>(std::min<std::size_t>(longest, platform::screenWidth));
    focus.lines = platform::Area{0, top, width, rows};
    return focus;
}
