// Reads a script line by line without ever holding more than one line: a line longer than the
// grammar allows is not read further.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <streambuf>
#include <string>

namespace replay {

class ScriptReader {
public:
    enum class Next { Line, End, TooLong, Failed };

    explicit ScriptReader(std::istream& in);

    // The next line, without its line feed.
    Next next(std::string& line);

    std::size_t lineNumber() const { return number_; }
    // Whether the line just read ended with its line feed (the last line of a file may not).
    bool lineEnded() const { return ended_; }

private:
    std::streambuf* buffer_;
    std::size_t number_ = 0;
    bool ended_ = false;
};

} // namespace replay
