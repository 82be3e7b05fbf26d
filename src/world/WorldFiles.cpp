#include "world/WorldFiles.h"

#include "platform/FileReader.h"

#include <sstream>
#include <utility>

namespace {

// Follows the stream through a link list. With a source to fill, it also notes where each field
// stands; the reads themselves are the same either way.
class FieldReader {
public:
    FieldReader(std::istream& in, std::string_view data) : in_(in), data_(data), counter_(data) {}

    void word(std::string& into, InfoField* field) {
        begin(field);
        in_ >> into;
        finish(field);
    }

    std::uint8_t number(InfoField* field) {
        begin(field);
        std::int32_t number = 0;
        if (!(in_ >> number)) {
            number = 0;
        }
        finish(field);
        if (field != nullptr) {
            field->number = number;
        }
        return static_cast<std::uint8_t>(number);
    }

    // Where the next word stands, when the stream is still good (nothing else is read).
    void rest(InfoField& field) {
        begin(&field);
        if (field.state == FieldRead::Read) {
            field.length = 0;
        }
    }

private:
    // Skips the white space the extraction would skip, and notes where the field starts.
    void begin(InfoField* field) {
        if (field == nullptr) {
            return;
        }
        *field = InfoField{};
        if (!in_) {
            return;
        }
        in_ >> std::ws;
        field->offset = in_.eof() ? data_.size() : static_cast<std::size_t>(in_.tellg());
        field->position = counter_.at(field->offset);
        field->state = in_.eof() ? FieldRead::Missing : FieldRead::Read;
    }

    void finish(InfoField* field) {
        if (field == nullptr || field->state != FieldRead::Read) {
            return;
        }
        if (in_.fail()) {
            field->state = FieldRead::Failed;
            return;
        }
        // At the end of the data the stream has no position to tell.
        const std::size_t end = in_.eof() ? data_.size() : static_cast<std::size_t>(in_.tellg());
        field->length = end - field->offset;
    }

    std::istream& in_;
    std::string_view data_;
    PositionCounter counter_;
};

// Reads one world file; false when the stem names no file of bin/world/ or the file cannot be
// read (a folder, a FIFO, a device or a file larger than 1 MiB cannot). `path` is the file's path
// as the messages show it.
bool readWorldFile(const std::filesystem::path& dataFolder, std::string_view stem,
                   std::string_view extension, std::string& path, std::string& data,
                   WorldFileObserver* observer) {
    const bool read = worldFilePath(stem, extension, path) &&
                      platform::readWholeFile(dataFolder / path, data) == platform::FileStatus::Ok;
    if (read && observer != nullptr) {
        observer->worldFileRead(path, data);
    }
    return read;
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

void readGrid(std::string_view data, Grid& cells, GridSource* source) {
    std::size_t next = 0;
    std::size_t taken = 0;
    // A carriage return directly before a line feed is part of the line break, as a text-mode
    // read would make it.
    auto readChar = [&](std::uint8_t& ch) {
        if (next >= data.size()) {
            return false;
        }
        if (data[next] == '\r' && next + 1 < data.size() && data[next + 1] == '\n') {
            ++next;
        }
        taken = next;
        ch = static_cast<std::uint8_t>(data[next++]);
        return true;
    };
    PositionCounter counter(data);
    int i = 0;
    std::size_t j = 0;
    for (;;) {
        std::uint8_t ch = 0;
        bool atEnd = false;
        if (i < platform::screenWidth) {
            atEnd = !readChar(ch);
            if (!atEnd) {
                cells[j + static_cast<std::size_t>(i)] = ch;
                if (source != nullptr) {
                    source->cells[j + static_cast<std::size_t>(i)] = counter.at(taken);
                }
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

WorldInfo readInfo(std::string_view data, InfoSource* source) {
    WorldInfo info;
    std::istringstream in{std::string(data)};
    FieldReader reader(in, data);
    if (source != nullptr) {
        *source = InfoSource{};
    }
    // The field of the source to fill, or none.
    auto header = [&](InfoField InfoSource::*field) {
        return source != nullptr ? &(source->*field) : nullptr;
    };
    reader.word(info.headerWord1, header(&InfoSource::headerWord1));
    reader.word(info.headerWord2, header(&InfoSource::headerWord2));
    info.links.resize(reader.number(header(&InfoSource::linkCount)));
    for (std::size_t n = 0; n < info.links.size() && !in.eof(); ++n) {
        MapLink& link = info.links[n];
        InfoField* fields = nullptr;
        if (source != nullptr) {
            fields = source->links.emplace_back().data();
        }
        auto at = [&](LinkField field) {
            return fields != nullptr ? &fields[static_cast<std::size_t>(field)] : nullptr;
        };
        reader.word(link.caption, at(LinkField::Caption));
        reader.word(link.target, at(LinkField::Target));
        link.x = reader.number(at(LinkField::X));
        link.y = reader.number(at(LinkField::Y));
        link.targetX = reader.number(at(LinkField::TargetX));
        link.targetY = reader.number(at(LinkField::TargetY));
    }
    if (source != nullptr) {
        reader.rest(source->rest);
    }
    return info;
}

bool loadWorld(const std::filesystem::path& dataFolder, std::string_view stem, const Grid& under,
               WorldLoad& load, WorldSource* source, WorldFileObserver* observer) {
    load.failedPath.clear();
    std::string path;
    std::string data;
    if (!readWorldFile(dataFolder, stem, gridExtension, path, data, observer)) {
        load.failedPath = path;
        return false;
    }
    load.cells = under;
    readGrid(data, load.cells, source != nullptr ? &source->grid : nullptr);
    if (source != nullptr) {
        source->gridData = data;
    }
    if (!readWorldFile(dataFolder, stem, infoExtension, path, data, observer)) {
        load.failedPath = path;
        return false;
    }
    load.info = readInfo(data, source != nullptr ? &source->info : nullptr);
    if (source != nullptr) {
        source->infoData = std::move(data);
    }
    return true;
}
