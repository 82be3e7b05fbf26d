#include "SvgScreen.h"

#include "platform/Cp437.h"

#include <array>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>

namespace replay {

namespace {

constexpr int cellWidth = 10;
constexpr int cellHeight = 20;
constexpr double lineGap = 2.0; // from the middle of a cell to each line of a double line
constexpr int baseline = 15;    // from the top of a cell
constexpr const char* fontSize = "16";

// The console's 16 colours, by attribute value.
constexpr std::array<const char*, 16> palette = {
    "#000000", "#000080", "#008000", "#008080", "#800000", "#800080", "#808000", "#c0c0c0",
    "#808080", "#0000ff", "#00ff00", "#00ffff", "#ff0000", "#ff00ff", "#ffff00", "#ffffff"};

// The frame-line glyphs of code page 437 (179 to 218): the style of the arm that leaves the
// middle of the cell up, down, left and right (0 none, 1 single, 2 double).
constexpr std::array<const char*, 40> lineArms = {
    "1100", "1110", "1120", "2210", "0210", "0120", "2220", "2200", "0220", "2020",
    "2010", "1020", "0110", "1001", "1011", "0111", "1101", "0011", "1111", "1102",
    "2201", "2002", "0202", "2022", "0222", "2202", "0022", "2222", "1022", "2011",
    "0122", "0211", "2001", "1002", "0102", "0201", "2211", "1122", "1010", "0101"};

bool isLineGlyph(std::uint8_t ch) { return ch >= 179 && ch <= 218; }
bool isBlockGlyph(std::uint8_t ch) { return (ch >= 176 && ch <= 178) || (ch >= 219 && ch <= 223); }
bool isBlank(std::uint8_t ch) { return ch == 0 || ch == ' '; }

// Path segments for a frame-line glyph in the cell whose top-left corner is (x0, y0). Each arm
// runs from the cell's edge to where it meets the arms across it, so that corners, tees and
// crossings of single and double lines join.
void framePath(std::uint8_t ch, double x0, double y0, std::ostream& d) {
    const char* arms = lineArms[static_cast<std::size_t>(ch - 179)];
    const int up = arms[0] - '0';
    const int down = arms[1] - '0';
    const int left = arms[2] - '0';
    const int right = arms[3] - '0';
    const double cx = x0 + cellWidth / 2.0;
    const double cy = y0 + cellHeight / 2.0;
    const double g = lineGap;
    // How far the lines across reach on each side of the middle.
    auto reach = [&](int a, int b) { return (a == 2 || b == 2) ? g : 0.0; };
    const double across = reach(up, down);   // vertical lines, in x
    const double along = reach(left, right); // horizontal lines, in y
    // Where a line of an arm ends, given the arms on its own side and on the other side.
    auto end = [&](double middle, int own, int other, double sign) {
        if (own != 0) {
            return middle + sign * (own == 2 ? g : 0.0);
        }
        if (other != 0) {
            return middle - sign * (other == 2 ? g : 0.0);
        }
        return middle;
    };
    // A single line runs through to the far line across at a corner, to the near one at a tee.
    auto singleEnd = [&](double middle, int a, int b, double reachAcross, double sign) {
        if (a == 0 && b == 0) {
            return middle;
        }
        return middle + ((a != 0 && b != 0) ? sign : -sign) * reachAcross;
    };
    auto horizontal = [&](double y, double fromX, double toX) {
        d << 'M' << fromX << ' ' << y << 'H' << toX;
    };
    auto vertical = [&](double x, double fromY, double toY) {
        d << 'M' << x << ' ' << fromY << 'V' << toY;
    };
    const double x1 = x0 + cellWidth;
    const double y1 = y0 + cellHeight;
    if (right == 1) {
        horizontal(cy, singleEnd(cx, up, down, across, 1), x1);
    } else if (right == 2) {
        horizontal(cy - g, end(cx, up, down, 1), x1);
        horizontal(cy + g, end(cx, down, up, 1), x1);
    }
    if (left == 1) {
        horizontal(cy, x0, singleEnd(cx, up, down, across, -1));
    } else if (left == 2) {
        horizontal(cy - g, x0, end(cx, up, down, -1));
        horizontal(cy + g, x0, end(cx, down, up, -1));
    }
    if (up == 1) {
        vertical(cx, y0, singleEnd(cy, left, right, along, -1));
    } else if (up == 2) {
        vertical(cx - g, y0, end(cy, left, right, -1));
        vertical(cx + g, y0, end(cy, right, left, -1));
    }
    if (down == 1) {
        vertical(cx, singleEnd(cy, left, right, along, 1), y1);
    } else if (down == 2) {
        vertical(cx - g, end(cy, left, right, 1), y1);
        vertical(cx + g, end(cy, right, left, 1), y1);
    }
}

std::string xmlText(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

} // namespace

std::string svgScreen(const ScreenCells& cells) {
    const int width = platform::screenWidth * cellWidth;
    const int height = platform::screenHeight * cellHeight;
    std::ostringstream svg;
    svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\"" << height
        << "\" viewBox=\"0 0 " << width << ' ' << height
        << "\" font-family=\"'DejaVu Sans Mono', Menlo, Consolas, monospace\" font-size=\""
        << fontSize << "\">\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"#000000\"/>\n";
    std::map<int, std::ostringstream> lines; // frame-line paths by colour
    std::ostringstream text;
    auto at = [&](int x, int y) -> const platform::Cell& {
        return cells[static_cast<std::size_t>(y * platform::screenWidth + x)];
    };
    for (int y = 0; y < platform::screenHeight; ++y) {
        const double top = y * cellHeight;
        int x = 0;
        while (x < platform::screenWidth) {
            const platform::Cell& cell = at(x, y);
            const char* foreground = palette[cell.attribute & 15];
            const int background = (cell.attribute >> 4) & 15;
            const double left = x * cellWidth;
            if (background != 0) {
                svg << "<rect x=\"" << left << "\" y=\"" << top << "\" width=\"" << cellWidth
                    << "\" height=\"" << cellHeight << "\" fill=\""
                    << palette[static_cast<std::size_t>(background)] << "\"/>\n";
            }
            if (isLineGlyph(cell.ch)) {
                framePath(cell.ch, left, top, lines[cell.attribute & 15]);
                ++x;
                continue;
            }
            if (isBlockGlyph(cell.ch)) {
                double bx = left;
                double by = top;
                double bw = cellWidth;
                double bh = cellHeight;
                const char* opacity = nullptr;
                switch (cell.ch) {
                case 176:
                    opacity = "0.25";
                    break;
                case 177:
                    opacity = "0.5";
                    break;
                case 178:
                    opacity = "0.75";
                    break;
                case 220:
                    by += cellHeight / 2.0, bh /= 2;
                    break;
                case 221:
                    bw /= 2;
                    break;
                case 222:
                    bx += cellWidth / 2.0, bw /= 2;
                    break;
                case 223:
                    bh /= 2;
                    break;
                default:
                    break;
                }
                text << "<rect x=\"" << bx << "\" y=\"" << by << "\" width=\"" << bw
                     << "\" height=\"" << bh << "\" fill=\"" << foreground << '"';
                if (opacity != nullptr) {
                    text << " fill-opacity=\"" << opacity << '"';
                }
                text << "/>\n";
                ++x;
                continue;
            }
            if (isBlank(cell.ch)) {
                ++x;
                continue;
            }
            // A run of glyphs in one colour, each in its own cell.
            std::string run;
            int length = 0;
            while (x + length < platform::screenWidth) {
                const platform::Cell& next = at(x + length, y);
                if (next.attribute != cell.attribute || isBlank(next.ch) || isLineGlyph(next.ch) ||
                    isBlockGlyph(next.ch)) {
                    break;
                }
                run += platform::cp437Utf8(next.ch).view();
                ++length;
            }
            text << "<text x=\"" << left << "\" y=\"" << top + baseline << "\" fill=\""
                 << foreground << "\" textLength=\"" << length * cellWidth
                 << "\" lengthAdjust=\"spacingAndGlyphs\">" << xmlText(run) << "</text>\n";
            x += length;
        }
    }
    svg << text.str();
    for (const auto& [colour, d] : lines) {
        svg << "<path fill=\"none\" stroke=\"" << palette[static_cast<std::size_t>(colour)]
            << "\" stroke-width=\"1.5\" stroke-linecap=\"square\" d=\"" << d.str() << "\"/>\n";
    }
    svg << "</svg>\n";
    return svg.str();
}

bool writeSvgScreen(const std::filesystem::path& file, const ScreenCells& cells,
                    std::string& error) {
    const std::string svg = svgScreen(cells);
    std::ofstream out(file, std::ios::binary);
    out.write(svg.data(), static_cast<std::streamsize>(svg.size()));
    out.close();
    if (!out) {
        error = "cannot write ";
        error += file.string();
        return false;
    }
    return true;
}

} // namespace replay
