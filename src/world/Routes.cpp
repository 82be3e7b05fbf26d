#include "world/Routes.h"

#include "world/WorldMap.h"

#include <algorithm>

namespace {

constexpr int headingCount = static_cast<int>(headings.size());
// A state of the route search: a cell and the heading it was entered by (the start has none).
constexpr int statesPerCell = headingCount + 1;
constexpr int stateCount = platform::screenCellCount * statesPerCell;

bool onGrid(int x, int y) {
    return x >= 0 && y >= 0 && x < platform::screenWidth && y < platform::screenHeight;
}

MapCell cellAt(int x, int y) {
    return MapCell{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y)};
}

} // namespace

std::string_view headingName(RouteStep step) {
    for (const Heading& heading : headings) {
        if (heading.step == step) {
            return heading.name;
        }
    }
    return "here";
}

RouteFinder::RouteFinder()
    : steps_(platform::screenCellCount), queue_(platform::screenCellCount), runs_(stateCount),
      parent_(stateCount) {
    frontier_.reserve(stateCount);
    next_.reserve(stateCount);
}

std::span<const int> RouteFinder::stepsFrom(const WorldMap& map, MapCell from) {
    std::fill(steps_.begin(), steps_.end(), -1);
    std::size_t head = 0;
    std::size_t tail = 0;
    queue_[tail++] = static_cast<std::uint16_t>(cellIndex(from));
    steps_[cellIndex(from)] = 0;
    while (head < tail) {
        const std::uint16_t at = queue_[head++];
        const MapCell cell = cellAt(at % platform::screenWidth, at / platform::screenWidth);
        if (!(cell == from) && map.at(cell) == linkCellChar) {
            continue;
        }
        for (const Heading& heading : headings) {
            const int x = cell.x + heading.step.dx;
            const int y = cell.y + heading.step.dy;
            if (!onGrid(x, y)) {
                continue;
            }
            const std::size_t next = cellIndex(cellAt(x, y));
            if (steps_[next] < 0 && !map.isBlocking(cellAt(x, y))) {
                steps_[next] = steps_[at] + 1;
                queue_[tail++] = static_cast<std::uint16_t>(next);
            }
        }
    }
    return steps_;
}

bool RouteFinder::find(const WorldMap& map, MapCell from, MapCell to,
                       std::vector<RouteStep>& route) {
    route.clear();
    std::fill(steps_.begin(), steps_.end(), -1);
    std::fill(runs_.begin(), runs_.end(), std::int16_t{-1});
    frontier_.clear();
    const auto start = static_cast<std::int32_t>(cellIndex(from) * statesPerCell + headingCount);
    steps_[cellIndex(from)] = 0;
    runs_[static_cast<std::size_t>(start)] = 0;
    frontier_.push_back(start);
    // Level by level: every state of a level has as many steps, so the first level that reaches
    // `to` holds the shortest routes, and each state keeps the fewest runs that reach it.
    int level = 0;
    while (!frontier_.empty() && steps_[cellIndex(to)] < 0) {
        next_.clear();
        ++level;
        for (const std::int32_t state : frontier_) {
            const int at = state / statesPerCell;
            const int enteredBy = state % statesPerCell;
            const MapCell cell = cellAt(at % platform::screenWidth, at / platform::screenWidth);
            for (int h = 0; h < headingCount; ++h) {
                const RouteStep step = headings[static_cast<std::size_t>(h)].step;
                const int x = cell.x + step.dx;
                const int y = cell.y + step.dy;
                if (!onGrid(x, y)) {
                    continue;
                }
                const MapCell nextCell = cellAt(x, y);
                const std::size_t nextAt = cellIndex(nextCell);
                if (steps_[nextAt] >= 0 && steps_[nextAt] < level) {
                    continue;
                }
                if (map.isBlocking(nextCell) ||
                    (map.at(nextCell) == linkCellChar && !(nextCell == to))) {
                    continue;
                }
                steps_[nextAt] = level;
                const auto nextState = static_cast<std::size_t>(nextAt * statesPerCell + h);
                const auto runs = static_cast<std::int16_t>(runs_[static_cast<std::size_t>(state)] +
                                                            (enteredBy == h ? 0 : 1));
                if (runs_[nextState] < 0) {
                    next_.push_back(static_cast<std::int32_t>(nextState));
                } else if (runs_[nextState] <= runs) {
                    continue;
                }
                runs_[nextState] = runs;
                parent_[nextState] = state;
            }
        }
        frontier_.swap(next_);
    }
    if (steps_[cellIndex(to)] < 0) {
        return false;
    }
    std::int32_t best = -1;
    for (int h = 0; h < statesPerCell; ++h) {
        const std::int32_t state = static_cast<std::int32_t>(cellIndex(to) * statesPerCell + h);
        const std::int16_t runs = runs_[static_cast<std::size_t>(state)];
        if (runs >= 0 && (best < 0 || runs < runs_[static_cast<std::size_t>(best)])) {
            best = state;
        }
    }
    for (std::int32_t state = best; state != start;
         state = parent_[static_cast<std::size_t>(state)]) {
        route.push_back(headings[static_cast<std::size_t>(state % statesPerCell)].step);
    }
    std::reverse(route.begin(), route.end());
    return true;
}
