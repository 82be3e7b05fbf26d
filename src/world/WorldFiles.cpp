#include "world/WorldFiles.h"

#include "platform/FileReader.h"

#include <algorithm>
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
// as the messages show it. An `observer` hears of the file read, or of one that a stem names but
// that could not be read.
bool readWorldFile(const std::filesystem::path& dataFolder, std::string_view stem,
                   std::string_view extension, std::string& path, std::string& data,
                   WorldFileObserver* observer) {
    if (!worldFilePath(stem, extension, path)) {
        return false;
    }
    const bool read = platform::readWholeFile(dataFolder / path, data) == platform::FileStatus::Ok;
    if (observer != nullptr) {
        if (read) {
            observer->worldFileRead(path, data);
        } else {
            observer->worldFileMissing(path);
        }
    }
    return read;
}

// A line of a text file as an editor shows it: without its line break (LF or CR LF).
struct TextLine {
    std::size_t offset = 0;
    std::size_t length = 0;
};

std::vector<TextLine> textLines(std::string_view data) {
    std::vector<TextLine> lines;
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t end = data.find('\n', start);
        const bool broken = end != std::string_view::npos;
        if (!broken) {
            end = data.size();
        }
        std::size_t length = end - start;
        if (broken && length > 0 && data[end - 1] == '\r') {
            --length;
        }
        lines.push_back({start, length});
        start = end + 1;
    }
    return lines;
}

// Notes a finding; the caller fills in what the issue says of it.
FileFinding& note(std::vector<FileFinding>& findings, FileIssue issue, FilePosition position) {
    FileFinding& finding = findings.emplace_back();
    finding.issue = issue;
    finding.position = position;
    return finding;
}

FilePosition at(std::size_t line, std::size_t column) {
    return {static_cast<std::uint32_t>(line), static_cast<std::uint32_t>(column)};
}

// What the grid reader made of lines that are not 25 lines of 80 printable bytes.
void noteGrid(std::string_view data, GridSource& source) {
    std::vector<FileFinding>& findings = source.findings;
    findings.clear();
    if (data.empty()) {
        note(findings, FileIssue::EmptyGrid, {});
        return;
    }
    // A row whose cells the game did not take from their own line and column.
    auto shifted = [&](int row) {
        for (int x = 0; x < gridColumns; ++x) {
            const FilePosition from = source.cells[static_cast<std::size_t>(row * gridColumns + x)];
            if (from.line != 0 &&
                !(from == at(static_cast<std::size_t>(row + 1), static_cast<std::size_t>(x + 1)))) {
                return true;
            }
        }
        return false;
    };
    const std::vector<TextLine> lines = textLines(data);
    std::size_t used = lines.size();
    while (used > static_cast<std::size_t>(gridRows) && lines[used - 1].length == 0) {
        --used; // empty lines at the end are harmless
    }
    const std::size_t read = std::min<std::size_t>(used, gridRows);
    for (std::size_t i = 0; i < read; ++i) {
        const TextLine& line = lines[i];
        if (line.length != static_cast<std::size_t>(gridColumns)) {
            int last = static_cast<int>(i) + 1;
            while (last < gridRows && shifted(last)) {
                ++last;
            }
            FileFinding& finding =
                note(findings, FileIssue::RowLength,
                     at(i + 1, std::min<std::size_t>(line.length, gridColumns) + 1));
            finding.count = static_cast<std::int64_t>(line.length);
            finding.last = last;
        }
        std::size_t odd = 0;
        std::size_t first = 0;
        for (std::size_t c = 0; c < line.length; ++c) {
            const auto byte = static_cast<unsigned char>(data[line.offset + c]);
            if (byte < 32 || byte >= 127) {
                first = odd++ == 0 ? c : first;
            }
        }
        if (odd > 0) {
            FileFinding& finding = note(findings, FileIssue::Unprintable, at(i + 1, first + 1));
            finding.count = static_cast<std::int64_t>(odd);
            finding.word.assign(1, data[line.offset + first]);
        }
    }
    if (used < static_cast<std::size_t>(gridRows)) {
        note(findings, FileIssue::FewRows, at(lines.size(), lines.back().length + 1)).count =
            static_cast<std::int64_t>(used);
    } else if (used > static_cast<std::size_t>(gridRows)) {
        note(findings, FileIssue::ExtraRows, at(gridRows + 1, 1)).count =
            static_cast<std::int64_t>(used);
    }
}

// The word of the file that starts at `offset`, as the reader delimits words.
std::string_view wordAt(std::string_view data, std::size_t offset) {
    std::size_t end = offset;
    while (end < data.size() && !isWordSpace(data[end])) {
        ++end;
    }
    return data.substr(offset, end - offset);
}

// The words of the file from `offset` on.
std::vector<std::string_view> wordsFrom(std::string_view data, std::size_t offset) {
    std::vector<std::string_view> words;
    while (offset < data.size()) {
        if (isWordSpace(data[offset])) {
            ++offset;
            continue;
        }
        words.push_back(wordAt(data, offset));
        offset += words.back().size();
    }
    return words;
}

// The largest value each numeric part of a link list means something for.
int lastValue(InfoPart part) {
    switch (part) {
    case InfoPart::LinkCount:
        return maxLinkCount;
    case InfoPart::X:
    case InfoPart::TargetX:
        return platform::lastColumn;
    default:
        return platform::lastRow;
    }
}

// Notes what the reader made of a number field; false when it failed, which ends the reading.
bool noteNumber(std::string_view data, const InfoField& field, InfoPart part, std::size_t link,
                std::vector<FileFinding>& findings) {
    if (field.state == FieldRead::Missing) {
        return true; // where the file ends is noted once, for the count
    }
    const std::string_view word = wordAt(data, field.offset);
    auto found = [&](FileIssue issue) -> FileFinding& {
        FileFinding& finding = note(findings, issue, field.position);
        finding.field = part;
        finding.link = link;
        finding.word = word;
        finding.number = field.number;
        return finding;
    };
    if (field.state == FieldRead::Failed) {
        found(looksLikeNumber(word) ? FileIssue::NumberTooLarge : FileIssue::NotANumber);
        return false;
    }
    const int last = lastValue(part);
    if (field.length < word.size()) {
        found(FileIssue::NumberCut).rest = word.substr(field.length);
    } else if (field.number < 0 || field.number > last) {
        FileFinding& finding = found(FileIssue::OutOfRange);
        finding.last = last;
        finding.kept = static_cast<std::uint8_t>(field.number);
    }
    return true;
}

bool recordWhole(const std::array<InfoField, linkFieldCount>& record) {
    return std::all_of(record.begin(), record.end(),
                       [](const InfoField& field) { return field.state == FieldRead::Read; });
}

// What the link reader made of a list that is not a header, a count and that many links.
void noteInfo(std::string_view data, InfoSource& source, std::size_t announced) {
    std::vector<FileFinding>& findings = source.findings;
    if (source.firstNameWord.state == FieldRead::Missing) {
        note(findings, FileIssue::EmptyInfo, {});
        return;
    }
    if (source.secondNameWord.state == FieldRead::Missing ||
        source.linkCount.state == FieldRead::Missing) {
        const InfoField& end = source.secondNameWord.state == FieldRead::Missing
                                   ? source.secondNameWord
                                   : source.linkCount;
        note(findings, FileIssue::HeaderCut, end.position);
        return;
    }
    const InfoField& count = source.linkCount;
    if (count.state == FieldRead::Failed) {
        const std::string_view word = wordAt(data, count.offset);
        const std::vector<std::string_view> after = wordsFrom(data, count.offset + word.size());
        const std::string_view second = wordAt(data, source.secondNameWord.offset);
        FileFinding& finding = note(findings, FileIssue::CountNotANumber, count.position);
        finding.field = InfoPart::LinkCount;
        finding.word = word;
        if (!after.empty() && looksLikeNumber(after.front())) {
            finding.issue = FileIssue::HeaderThreeWords;
        } else if (looksLikeNumber(second)) {
            finding.issue = FileIssue::HeaderOneWord;
            finding.word = second;
            finding.rest = word;
        }
        return;
    }
    noteNumber(data, count, InfoPart::LinkCount, 0, findings);
    std::size_t whole = 0;
    for (std::size_t n = 0; n < source.links.size(); ++n) {
        const auto& record = source.links[n];
        for (std::size_t f = static_cast<std::size_t>(LinkField::X); f < linkFieldCount; ++f) {
            const auto part =
                static_cast<InfoPart>(static_cast<std::size_t>(InfoPart::Caption) + f);
            if (!noteNumber(data, record[f], part, n + 1, findings)) {
                return; // every later field follows from this one
            }
        }
        whole += recordWhole(record) ? 1 : 0;
    }
    if (whole < announced) {
        // Where the file ends: inside the next link, or before it.
        FileFinding& finding = note(findings, FileIssue::CountBeyondRecords, count.position);
        finding.field = InfoPart::Caption;
        finding.link = whole + 1;
        finding.number = static_cast<std::int64_t>(announced);
        finding.count = static_cast<std::int64_t>(whole);
        if (whole < source.links.size()) {
            const auto& record = source.links[whole];
            for (std::size_t f = 0; f < linkFieldCount; ++f) {
                if (record[f].state != FieldRead::Read) {
                    finding.field =
                        static_cast<InfoPart>(static_cast<std::size_t>(InfoPart::Caption) + f);
                    break;
                }
            }
        }
    }
    if (source.rest.state == FieldRead::Read) {
        const std::vector<std::string_view> words = wordsFrom(data, source.rest.offset);
        FileFinding& finding =
            note(findings,
                 words.size() % linkFieldCount == 0 ? FileIssue::RecordsBeyondCount
                                                    : FileIssue::TrailingWords,
                 source.rest.position);
        finding.number = static_cast<std::int64_t>(announced);
        finding.count = static_cast<std::int64_t>(words.size() / linkFieldCount);
        finding.word = words.front();
    }
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
    if (source != nullptr) {
        noteGrid(data, *source);
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
    reader.word(info.firstNameWord, header(&InfoSource::firstNameWord));
    reader.word(info.secondNameWord, header(&InfoSource::secondNameWord));
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
        noteInfo(data, *source, info.links.size());
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

bool isWordSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool looksLikeNumber(std::string_view word) {
    if (!word.empty() && (word.front() == '+' || word.front() == '-')) {
        word.remove_prefix(1);
    }
    return !word.empty() &&
           std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}
