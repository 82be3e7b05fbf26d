// A file the program writes while it runs (a recording of a game). Writes go straight to the
// system; the caller gathers small appends itself. Bytes the caller names as pending reach the
// file even when a signal ends the program at once (a crash, a quit, an abort) on a terminal: the
// handler that gives the terminal back writes them. Each system implements it with its own calls.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the file (or empties it). False, with the reason, when it cannot be written.
    bool open(const std::filesystem::path& path, std::string& error);
    // Writes all of `bytes`. False once any write has failed (the file is then incomplete).
    bool write(std::string_view bytes);
    // Closes the file; false when it or any write before it failed.
    bool close();
    // Why the file could not be opened, written or closed (the first failure), as the system
    // says it; empty while nothing has failed.
    std::string error() const;

    // The bytes data[0, *length) are written should the program end on a signal before the
    // caller writes them itself; set *length only after the bytes are in place, and to 0 before
    // writing them yourself. Null stops it. Only one file at a time can have pending bytes.
    void setPending(const char* data, const std::atomic<std::size_t>* length);

private:
    std::intptr_t handle_ = -1;
    bool failed_ = false;
    int errorCode_ = 0; // the system's code for the first failure
};

} // namespace platform
