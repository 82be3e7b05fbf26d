#include "world/WorldFiles.h"

#include "platform/FileReader.h"

#include <sstream>

namespace {

std::uint8_t readNumber(std::istream& in) {
    std::int32_t number = 0;
    if (!(in >> number)) {
        number = 0;
    }
    return static_cast<std::uint8_t>(number);
}

// Reads one world file; false when the stem names no file of bin/world/ or the file cannot be
// read (a folder, a FIFO, a device or a file larger than 1 MiB cannot). `path` is the file's path
// as the messages show it.
bool readWorldFile(const std::filesystem::path& dataFolder, std::string_view stem,
                   std::string_view extension, std::string& path, std::string& data) {
    return worldFilePath(stem, extension, path) &&
           platform::readWholeFile(dataFolder / path, data) == platform::FileStatus::Ok;
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

void readGrid(std::string_view data, Grid& cells) {
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
    std::size_t j = 0;
    for (;;) {
        std::uint8_t ch = 0;
        bool atEnd = false;
        if (i < platform::screenWidth) {
            atEnd = !readChar(ch);
            if (!atEnd) {
                cells[j + static_cast<std::size_t>(i)] = ch;
            }
            ++i;
        } else {
            i = 0;
            j += platform::screenWidth;
            atEnd = !readChar(ch);
        }
        if (j == cells.size() || atEnd) {
            break;
        }
    }
}

WorldInfo readInfo(std::string_view data) {
    WorldInfo info;
    std::istringstream in{std::string(data)};
    in >> info.headerWord1 >> info.headerWord2;
    info.links.resize(readNumber(in));
    for (std::size_t n = 0; n < info.links.size() && !in.eof(); ++n) {
        MapLink& link = info.links[n];
        in >> link.caption >> link.target;
        link.x = readNumber(in);
        link.y = readNumber(in);
        link.targetX = readNumber(in);
        link.targetY = readNumber(in);
    }
    return info;
}

bool loadWorld(const std::filesystem::path& dataFolder, std::string_view stem, const Grid& under,
               WorldLoad& load) {
    load.failedPath.clear();
    std::string path;
    std::string data;
    if (!readWorldFile(dataFolder, stem, gridExtension, path, data)) {
        load.failedPath = path;
        return false;
    }
    load.cells = under;
    readGrid(data, load.cells);
    if (!readWorldFile(dataFolder, stem, infoExtension, path, data)) {
        load.failedPath = path;
        return false;
    }
    load.info = readInfo(data);
    return true;
}
