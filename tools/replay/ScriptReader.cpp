#include "ScriptReader.h"

#include "replay/Script.h"

#include <exception>
#include <istream>

namespace replay {

ScriptReader::ScriptReader(std::istream& in) : buffer_(in.rdbuf()) {}

ScriptReader::Next ScriptReader::next(std::string& line) {
    line.clear();
    if (buffer_ == nullptr) {
        return Next::Failed;
    }
    try {
        for (;;) {
            const auto c = buffer_->sbumpc();
            if (c == std::streambuf::traits_type::eof()) {
                if (line.empty()) {
                    return Next::End;
                }
                ++number_;
                ended_ = false;
                return Next::Line;
            }
            if (c == '\n') {
                ++number_;
                ended_ = true;
                return Next::Line;
            }
            if (line.size() == script::maxLineBytes) {
                ++number_;
                return Next::TooLong;
            }
            line.push_back(static_cast<char>(c));
        }
    } catch (const std::exception&) {
        // A file stream reports a failed read by throwing.
        return Next::Failed;
    }
}

} // namespace replay
