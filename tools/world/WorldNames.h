// Worlds by their names, as an author knows them: the name a message gives a world, the worlds a
// word of a link list may have meant, and a caption written as more than one word.
#pragma once

#include "DataFolder.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace worldtool {

// The name that messages about a world's files give it: its two header words, as the game shows
// them. Empty when the world cannot be loaded or its header does not read as two words and a
// link count (then the name the game shows is not one its author wrote).
std::string messageName(const AuthoredWorld& world);

// The stems of the worlds among `stems` that `word` (a link's world that is no stem) names: a
// world whose name, or one word of it, is `word` in any letter case (with or without the blank
// of the name, or a '_' or '-' in its place), or else the one stem that `word` starts.
std::vector<std::string> worldsNamedBy(DataFolder& data, const std::vector<std::string>& stems,
                                       std::string_view word);

// A link whose caption was written as more than one word, as its line in the link list shows it.
struct ShiftedCaption {
    std::vector<std::string_view> caption; // the words before the one the author meant as the world
    std::string_view meant;                // the word the author meant as the world
    std::string_view world;                // the word the game takes as the world
    std::string_view x;                    // the word the game takes as x
};

// Link `index`'s caption as more than one word: on the line where the caption starts, one or more
// words follow it, then a word and four numbers. None when the line does not read so.
std::optional<ShiftedCaption> shiftedCaption(const AuthoredWorld& world, std::size_t index);

} // namespace worldtool
