#include "Commands.h"
#include "Report.h"

#include <chrono>
#include <cstdint>
#include <ostream>
#include <random>

namespace worldtool {

namespace {

// A header word is one word as the game reads it: no white space, and nothing that is not text.
bool isHeaderWord(const std::string& word) {
    if (word.empty()) {
        return false;
    }
    for (const char c : word) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 32 || byte == 127) {
            return false;
        }
    }
    return true;
}

std::string randomStem(std::mt19937_64& random) {
    static constexpr char hex[] = "0123456789abcdef";
    std::string stem;
    while (stem.size() < 32) {
        stem += hex[random() & 15];
    }
    return stem;
}

// A border of hedges around a forest floor, which an author paints over.
std::string freshGrid() {
    std::string grid;
    for (int y = 0; y < platform::screenHeight; ++y) {
        for (int x = 0; x < platform::screenWidth; ++x) {
            const bool border =
                x == 0 || y == 0 || x == platform::lastColumn || y == platform::lastRow;
            grid += border ? ';' : ',';
        }
        grid += '\n';
    }
    return grid;
}

} // namespace

int newWorld(const DataFolder& data, const std::string& word1, const std::string& word2,
             std::ostream& out, std::ostream& err) {
    for (const std::string* word : {&word1, &word2}) {
        if (!isHeaderWord(*word)) {
            err << "tharvok-world: " << inQuotes(*word)
                << " cannot be a word of a world's name: a word has no blanks or control "
                   "characters\n";
            return 2;
        }
    }
    // The clock as well, where a random device is weak.
    std::seed_seq seed{
        static_cast<std::uint64_t>(std::random_device{}()),
        static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count())};
    std::mt19937_64 random(seed);
    std::string stem = randomStem(random);
    for (int tries = 0; data.worldExists(stem); ++tries) {
        if (tries == 100) {
            err << "tharvok-world: found no free stem in " << escaped(data.path().string()) << "\n";
            return 1;
        }
        stem = randomStem(random);
    }
    std::string error;
    if (!data.writeNewWorld(stem, freshGrid(), word1 + " " + word2 + "\n0\n", error)) {
        err << "tharvok-world: " << error << "\n";
        return 1;
    }
    for (const std::string_view extension : {gridExtension, infoExtension}) {
        const std::filesystem::path file =
            data.path() / "bin" / "world" / (stem + std::string(extension));
        out << escaped(file.lexically_normal().string()) << '\n';
    }
    return 0;
}

} // namespace worldtool
