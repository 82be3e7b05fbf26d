#include "Report.h"

#include "platform/Cp437.h"

#include <algorithm>
#include <cctype>
#include <ostream>
#include <tuple>

namespace worldtool {

void Report::error(std::string_view file, FilePosition position, std::string message) {
    diagnostics_.push_back({std::string(file), position, Severity::Error, std::move(message)});
}

void Report::warning(std::string_view file, FilePosition position, std::string message) {
    diagnostics_.push_back({std::string(file), position,
                            warningsAreErrors_ ? Severity::Error : Severity::Warning,
                            std::move(message)});
}

void Report::nameFile(std::string_view file, std::string name) {
    names_[std::string(file)] = std::move(name);
}

std::size_t Report::errors() const {
    return static_cast<std::size_t>(
        std::count_if(diagnostics_.begin(), diagnostics_.end(),
                      [](const Diagnostic& d) { return d.severity == Severity::Error; }));
}

std::size_t Report::warnings() const { return diagnostics_.size() - errors(); }

void Report::print(std::ostream& out) const {
    std::vector<const Diagnostic*> order;
    for (const Diagnostic& diagnostic : diagnostics_) {
        order.push_back(&diagnostic);
    }
    std::stable_sort(order.begin(), order.end(), [](const Diagnostic* a, const Diagnostic* b) {
        return std::tie(a->severity, a->file, a->position.line, a->position.column) <
               std::tie(b->severity, b->file, b->position.line, b->position.column);
    });
    for (const Diagnostic* d : order) {
        out << escaped(d->file);
        if (d->position.line != 0) {
            out << ':' << d->position.line << ':' << d->position.column;
        }
        out << (d->severity == Severity::Error ? ": error: " : ": warning: ");
        if (const auto name = names_.find(d->file); name != names_.end()) {
            out << escaped(name->second) << ": ";
        }
        out << d->message << '\n';
    }
}

std::string escaped(std::string_view bytes) {
    static constexpr char hex[] = "0123456789abcdef";
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 32 && byte < 127) {
            text += c;
        } else {
            text += "\\x";
            text += hex[byte >> 4];
            text += hex[byte & 15];
        }
    }
    return text;
}

std::string glyphs(std::string_view bytes) {
    std::string text;
    for (const char c : bytes) {
        text += platform::cp437Utf8(static_cast<std::uint8_t>(c)).view();
    }
    return text;
}

std::string inQuotes(std::string_view bytes) {
    std::string text(1, '\'');
    text.append(escaped(bytes)).push_back('\'');
    return text;
}

std::string counted(std::size_t count, std::string_view one, std::string_view many) {
    if (count == 0) {
        return "no " + std::string(many);
    }
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

std::size_t editDistance(std::string_view a, std::string_view b, bool ignoreCase) {
    auto same = [ignoreCase](char x, char y) {
        return ignoreCase ? std::tolower(static_cast<unsigned char>(x)) ==
                                std::tolower(static_cast<unsigned char>(y))
                          : x == y;
    };
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min(
                {row[j] + 1, row[j - 1] + 1, diagonal + (same(a[i - 1], b[j - 1]) ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string cellText(int x, int y) {
    std::string text(1, '(');
    text.append(std::to_string(x)).append(", ").append(std::to_string(y)).push_back(')');
    return text;
}

} // namespace worldtool
