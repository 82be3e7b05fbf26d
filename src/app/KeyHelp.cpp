#include "app/KeyHelp.h"

#include "platform/VirtualKeys.h"
#include "world/World.h"

#include <algorithm>

std::string actionKeys(const Action& action, const KeyCodes& keys) {
    std::string text;
    std::int32_t first = 0;
    for (const KeySlot slot : action.helpKeys) {
        const std::int32_t code = keys[static_cast<std::size_t>(slot)];
        if (code == 0 || code == first) {
            continue;
        }
        if (!text.empty()) {
            text += ", ";
        }
        text += platform::vk::displayName(code);
        first = first == 0 ? code : first;
    }
    return text.empty() ? std::string("not bound") : text;
}

std::vector<std::string> helpLines(const KeyCodes& keys, const World* world) {
    constexpr std::size_t nameWidth = 22;
    std::vector<std::string> lines = {"Keys", ""};
    for (const KeySlot slot : helpOrder) {
        const Action& row = action(slot);
        std::string line(row.help);
        line.resize(std::max(line.size() + 1, nameWidth), ' ');
        lines.push_back(line + actionKeys(row, keys));
    }
    lines.emplace_back();
    if (world != nullptr) {
        const MapCell cell = world->player().cell();
        lines.push_back(world->map().name() + ", at " + std::to_string(cell.x) + ", " +
                        std::to_string(cell.y));
    }
    lines.emplace_back("Any key closes this box.");
    return lines;
}
