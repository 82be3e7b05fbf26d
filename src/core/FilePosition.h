// Where something stands in a text file, as an editor counts: line and column, both from 1. A
// column counts bytes; a line break (LF, or CR LF) ends a line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

struct FilePosition {
    std::uint32_t line = 0; // 0: nowhere in the file
    std::uint32_t column = 0;
    friend bool operator==(const FilePosition&, const FilePosition&) = default;
};

// Turns byte offsets into positions, for offsets met in increasing order.
class PositionCounter {
public:
    explicit PositionCounter(std::string_view data) : data_(data) {}

    // The position of the byte at `offset` (the end of the data for an offset past it). An
    // offset below the one asked for before is a programming error.
    FilePosition at(std::size_t offset) {
        if (offset > data_.size()) {
            offset = data_.size();
        }
        for (; scanned_ < offset; ++scanned_) {
            if (data_[scanned_] == '\n') {
                ++line_;
                lineStart_ = scanned_ + 1;
            }
        }
        return FilePosition{line_, static_cast<std::uint32_t>(offset - lineStart_ + 1)};
    }

private:
    std::string_view data_;
    std::size_t scanned_ = 0;
    std::size_t lineStart_ = 0;
    std::uint32_t line_ = 1;
};
