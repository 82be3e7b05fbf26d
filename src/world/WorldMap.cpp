#include "world/WorldMap.h"

#include "world/WorldFiles.h"

#include <algorithm>

namespace {

// The blocking set, in the order it is compared.
constexpr std::string_view blockingChars{";0~+ ", 5};

} // namespace

MapCell arrivalCell(const MapLink& link) {
    return MapCell{std::min<std::uint8_t>(link.targetX, platform::lastColumn),
                   std::min<std::uint8_t>(link.targetY, platform::lastRow)};
}

bool WorldMap::load(const std::filesystem::path& dataFolder, std::string& failedPath,
                    WorldFileObserver* observer) {
    WorldLoad load;
    if (!loadWorld(dataFolder, startWorldStem, blankGrid(), load, nullptr, observer)) {
        failedPath = load.failedPath;
        return false;
    }
    take(std::move(load));
    return true;
}

bool WorldMap::loadLinked(const std::filesystem::path& dataFolder, std::uint8_t index,
                          std::string& failedPath, WorldFileObserver* observer) {
    WorldLoad load;
    if (!loadWorld(dataFolder, links_[index].target, cells_, load, nullptr, observer)) {
        failedPath = load.failedPath;
        return false;
    }
    take(std::move(load));
    return true;
}

void WorldMap::take(WorldLoad&& load) {
    cells_ = load.cells;
    links_ = std::move(load.info.links);
    name_ = load.info.firstNameWord + " " + load.info.secondNameWord;
}

bool WorldMap::isBlocking(MapCell cell) const {
    const char ch = static_cast<char>(at(cell));
    return std::find(blockingChars.begin(), blockingChars.end(), ch) != blockingChars.end();
}

const MapLink* WorldMap::findLink(MapCell cell, std::uint8_t* index) const {
    for (std::size_t i = 0; i < links_.size(); ++i) {
        if (links_[i].x == cell.x && links_[i].y == cell.y) {
            if (index != nullptr) {
                *index = static_cast<std::uint8_t>(i);
            }
            return &links_[i];
        }
    }
    return nullptr;
}

const std::string* WorldMap::captionAt(MapCell cell) const {
    const MapLink* link = findLink(cell, nullptr);
    return link != nullptr ? &link->caption : nullptr;
}

LinkJump WorldMap::enterLink(const std::filesystem::path& dataFolder, MapCell& cell,
                             std::string& failedPath, WorldFileObserver* observer) {
    std::uint8_t index = 0;
    const MapLink* link = findLink(cell, &index);
    if (link == nullptr) {
        return LinkJump::NoLink;
    }
    const MapCell arrival = arrivalCell(*link);
    if (!loadLinked(dataFolder, index, failedPath, observer)) {
        return LinkJump::Failed;
    }
    cell = arrival;
    return LinkJump::Done;
}
