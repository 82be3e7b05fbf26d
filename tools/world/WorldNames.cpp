#include "WorldNames.h"

#include "Report.h"

#include "world/WorldFiles.h"

#include <algorithm>
#include <cctype>

namespace worldtool {

namespace {

// A word of a name as it is compared: small letters, without blanks, '_' and '-'.
std::string folded(std::string_view text) {
    std::string result;
    for (const char c : text) {
        if (c != ' ' && c != '_' && c != '-') {
            result += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return result;
}

// The words of `data` from `offset` to the end of its line, as the link list's reader splits them.
std::vector<std::string_view> lineWords(std::string_view data, std::size_t offset) {
    const std::size_t end = std::min(data.find('\n', offset), data.size());
    std::vector<std::string_view> words;
    std::size_t start = offset;
    for (std::size_t at = offset; at <= end; ++at) {
        if (at == end || isWordSpace(data[at])) {
            if (at > start) {
                words.push_back(data.substr(start, at - start));
            }
            start = at + 1;
        }
    }
    return words;
}

} // namespace

std::string messageName(const AuthoredWorld& world) {
    if (!world.loaded) {
        return {};
    }
    for (const FileFinding& finding : world.source.info.findings) {
        switch (finding.issue) {
        case FileIssue::EmptyInfo:
        case FileIssue::HeaderCut:
        case FileIssue::HeaderOneWord:
        case FileIssue::HeaderThreeWords:
            return {};
        default:
            break;
        }
    }
    return world.name();
}

std::vector<std::string> worldsNamedBy(DataFolder& data, const std::vector<std::string>& stems,
                                       std::string_view word) {
    const std::string wanted = folded(word);
    std::vector<std::string> named;
    if (wanted.empty()) {
        return named;
    }
    for (const std::string& stem : stems) {
        const AuthoredWorld& world = data.world(stem);
        const WorldInfo& info = world.load.info;
        if (!messageName(world).empty() &&
            (wanted == folded(world.name()) || wanted == folded(info.firstNameWord) ||
             wanted == folded(info.secondNameWord))) {
            named.push_back(stem);
        }
    }
    if (named.empty()) {
        for (const std::string& stem : stems) {
            if (stem.size() > word.size() &&
                editDistance(stem.substr(0, word.size()), word, true) == 0) {
                named.push_back(stem);
            }
        }
        if (named.size() > 1) {
            named.clear();
        }
    }
    return named;
}

std::optional<ShiftedCaption> shiftedCaption(const AuthoredWorld& world, std::size_t index) {
    const auto& records = world.source.info.links;
    if (index >= records.size()) {
        return std::nullopt;
    }
    const InfoField& caption = records[index][static_cast<std::size_t>(LinkField::Caption)];
    if (caption.state != FieldRead::Read) {
        return std::nullopt;
    }
    const std::vector<std::string_view> words = lineWords(world.source.infoData, caption.offset);
    // The first word after at least two that four numbers follow is the world meant.
    for (std::size_t meant = 2; meant + 4 < words.size(); ++meant) {
        const auto at = words.begin() + static_cast<long>(meant);
        if (std::all_of(at + 1, at + 5, looksLikeNumber)) {
            return ShiftedCaption{{words.begin(), at}, *at, words[1], words[2]};
        }
    }
    return std::nullopt;
}

} // namespace worldtool
