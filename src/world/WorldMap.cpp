#include "world/WorldMap.h"

#include "app/Console.h"
#include "app/FileBytes.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace {

constexpr std::string_view gridExtension = ".wgf";
constexpr std::string_view infoExtension = ".wif";
// The blocking set, in the order it is compared.
constexpr std::string_view blockingChars{";0~+ ", 5};

void reportMissing(const std::string& path) {
    Console& console = Console::instance();
    console.writeText("\n");
    console.writeGlyphs(path);
    console.writeText(" missing or corrupt!");
}

// Opens a world file for a stem, printing the message when that fails.
bool openWorldFile(std::string_view stem, std::string_view extension, std::string& data) {
    std::string path;
    if (!worldFilePath(stem, extension, path) || !readFileBytes(path, data)) {
        reportMissing(path);
        return false;
    }
    return true;
}

std::uint8_t readNumber(std::istream& in) {
    std::int32_t number = 0;
    if (!(in >> number)) {
        number = 0;
    }
    return static_cast<std::uint8_t>(number);
}

} // namespace

bool worldFilePath(std::string_view stem, std::string_view extension, std::string& path) {
    path.assign(worldDirectory);
    path.append(stem);
    path.append(extension);
    // A separator could lead out of the world folder; a NUL byte would cut the name short.
    constexpr std::string_view forbidden{"/\\\0", 3};
    const bool separator = stem.find_first_of(forbidden) != std::string_view::npos;
    return !separator && path.size() <= maxWorldPathLength;
}

void readGrid(std::string_view data, std::uint8_t* cells) {
    std::size_t next = 0;
    // A carriage return directly before a line feed is part of the line break, as a text-mode
    // read would make it.
    auto readChar = [&](std::uint8_t& ch) {
        if (next >= data.size()) {
            return false;
        }
        if (data[next] == '\r' && next + 1 < data.size() && data[next + 1] == '\n') {
            ++next;
        }
        ch = static_cast<std::uint8_t>(data[next++]);
        return true;
    };
    int i = 0;
    int j = 0;
    for (;;) {
        std::uint8_t ch = 0;
        bool atEnd = false;
        if (i < mapWidth) {
            atEnd = !readChar(ch);
            if (!atEnd) {
                cells[j + i] = ch;
            }
            ++i;
        } else {
            i = 0;
            j += mapWidth;
            atEnd = !readChar(ch);
        }
        if (j == mapCellCount || atEnd) {
            break;
        }
    }
}

void readInfo(std::string_view data, WorldInfo& info) {
    std::istringstream in{std::string(data)};
    in >> info.headerWord1 >> info.headerWord2;
    info.linkCount = readNumber(in);
    info.links = new MapLink[info.linkCount];
    for (int n = 0; n < info.linkCount && !in.eof(); ++n) {
        MapLink& link = info.links[n];
        in >> link.caption >> link.target;
        link.x = readNumber(in);
        link.y = readNumber(in);
        link.targetX = readNumber(in);
        link.targetY = readNumber(in);
    }
}

WorldMap::WorldMap() = default;

WorldMap::~WorldMap() {
    delete[] cells;
    delete[] links;
}

bool WorldMap::load() {
    cells = new std::uint8_t[static_cast<std::size_t>(cellCount)];
    std::memset(cells, ' ', static_cast<std::size_t>(cellCount));
    std::string data;
    if (!openWorldFile(startWorldStem, gridExtension, data)) {
        return false;
    }
    readGrid(data, cells);
    std::string infoPath;
    worldFilePath(startWorldStem, infoExtension, infoPath);
    return loadInfo(infoPath);
}

bool WorldMap::loadInfo(const std::string& path) {
    std::string data;
    if (!readFileBytes(path, data)) {
        reportMissing(path);
        return false;
    }
    WorldInfo info;
    readInfo(data, info);
    delete[] links;
    links = info.links;
    linkCount = info.linkCount;
    headerWord1 = std::move(info.headerWord1);
    headerWord2 = std::move(info.headerWord2);
    return true;
}

void WorldMap::loadLinked(std::uint8_t index) {
    const std::string target = links[index].target;
    std::string data;
    if (!openWorldFile(target, gridExtension, data)) {
        return;
    }
    readGrid(data, cells);
    std::string infoPath;
    if (!worldFilePath(target, infoExtension, infoPath)) {
        reportMissing(infoPath);
        return;
    }
    loadInfo(infoPath);
}

bool WorldMap::isBlocking(MapCell cell) const {
    const char ch = static_cast<char>(at(cell));
    return std::find(blockingChars.begin(), blockingChars.end(), ch) != blockingChars.end();
}

const MapLink* WorldMap::findLink(MapCell cell, std::uint8_t* index) const {
    for (int i = 0; i < linkCount; ++i) {
        if (links[i].x == cell.x && links[i].y == cell.y) {
            if (index != nullptr) {
                *index = static_cast<std::uint8_t>(i);
            }
            return &links[i];
        }
    }
    return nullptr;
}

const std::string* WorldMap::captionAt(MapCell cell) const {
    const MapLink* link = findLink(cell, nullptr);
    return link != nullptr ? &link->caption : nullptr;
}

bool WorldMap::enterLink(MapCell& cell) {
    std::uint8_t index = 0;
    const MapLink* link = findLink(cell, &index);
    if (link == nullptr) {
        return false;
    }
    // An arrival outside the grid lands on the nearest cell inside it.
    cell.x = std::min<std::uint8_t>(link->targetX, mapWidth - 1);
    cell.y = std::min<std::uint8_t>(link->targetY, mapHeight - 1);
    loadLinked(index);
    fullRedraw = 1;
    overlayOnMap = 0;
    return true;
}
