#include "speech/Speech.h"

#include "menu/MainMenu.h"
#include "platform/Cp437.h"
#include "platform/VirtualKeys.h"
#include "speech/Ground.h"
#include "world/OnFoot.h"
#include "world/World.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

// The words of the world's bytes: what the screen shows, as UTF-8.
std::string spoken(std::string_view bytes) {
    std::string text;
    for (const char c : bytes) {
        text += platform::cp437Utf8(static_cast<std::uint8_t>(c)).view();
    }
    return text;
}

std::string capitalised(std::string_view words) {
    std::string text(words);
    if (!text.empty()) {
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    }
    return text;
}

std::string steps(int count) { return std::to_string(count) + (count == 1 ? " step" : " steps"); }

// "at 40, 12": a cell as the help box names it.
std::string atCell(MapCell cell) {
    return "at " + std::to_string(cell.x) + ", " + std::to_string(cell.y);
}

bool onGrid(int x, int y) {
    return x >= 0 && y >= 0 && x < platform::screenWidth && y < platform::screenHeight;
}

struct Direction {
    int dx;
    int dy;
    std::string_view name;
};

// Clockwise from north; the screen's rows grow to the south.
constexpr std::array<Direction, 8> directions = {{
    {0, -1, "north"},
    {1, -1, "north-east"},
    {1, 0, "east"},
    {1, 1, "south-east"},
    {0, 1, "south"},
    {-1, 1, "south-west"},
    {-1, 0, "west"},
    {-1, -1, "north-west"},
}};

// The direction from one cell to another, to the nearest of the eight.
std::string_view directionTo(MapCell from, MapCell to) {
    const int dx = to.x - from.x;
    const int dy = to.y - from.y;
    // A direction is diagonal when neither offset is less than half the other (tan 22.5 degrees
    // is about 0.41, close to a half).
    const int ax = std::abs(dx);
    const int ay = std::abs(dy);
    const int sx = 2 * ax < ay ? 0 : (dx > 0) - (dx < 0);
    const int sy = 2 * ay < ax ? 0 : (dy > 0) - (dy < 0);
    for (const Direction& d : directions) {
        if (d.dx == sx && d.dy == sy) {
            return d.name;
        }
    }
    return "here";
}

// The ground one way from `cell`: its kind and how far it goes, then what comes after it.
std::string lookToward(const WorldMap& map, MapCell cell, const Direction& d) {
    std::string text = capitalised(d.name) + ": ";
    int x = cell.x + d.dx;
    int y = cell.y + d.dy;
    if (!onGrid(x, y)) {
        return text + "the world's edge.";
    }
    const MapCell first{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y)};
    const Ground ground = groundOf(map.at(first));
    text += groundName(ground);
    if (map.isBlocking(first)) {
        return text + ".";
    }
    int run = 0;
    while (onGrid(x, y)) {
        const MapCell next{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y)};
        if (groundOf(map.at(next)) != ground || map.isBlocking(next)) {
            return text + " for " + steps(run) + ", then " +
                   std::string(groundName(groundOf(map.at(next)))) + ".";
        }
        ++run;
        x += d.dx;
        y += d.dy;
    }
    return text + " for " + steps(run) + ", then the world's edge.";
}

} // namespace

void Speech::switchOn(const KeyCodes& keys, std::string_view farewell) {
    on_ = true;
    keys_ = keys;
    farewell_ = farewell;
}

void Speech::say(std::string sentence) {
    if (listener_) {
        listener_(sentence);
    } else {
        said_.push_back(std::move(sentence));
    }
}

std::vector<std::string> Speech::take() { return std::exchange(said_, {}); }

void Speech::sayWhere(const World& world) {
    say(spoken(world.map().name()) + ", " + atCell(world.player().cell()) + ".");
}

void Speech::follow(GameState state, const MainMenu& menu, const World& world) {
    if (!on_) {
        return;
    }
    const bool entered = !heard_ || state != state_;
    heard_ = true;
    state_ = state;
    switch (state) {
    case GameState::Quit:
        if (entered) {
            say(farewell_);
        }
        return;
    case GameState::Menu:
        if (entered) {
            say("Title screen.");
            sayMarker(menu.marker());
            return;
        }
        for (const MenuEvent& event : menu.events()) {
            if (event.kind == MenuEvent::Kind::MarkerMoved) {
                sayMarker(event.marker);
            }
        }
        return;
    case GameState::Playing:
        if (entered) {
            refused_ = false;
            sayWhere(world);
        }
        followPlay(world);
        return;
    }
}

void Speech::sayMarker(MenuMarker marker) {
    // Between two items the marker is named by the item above it.
    std::string label(menuLabels[marker.item]);
    label.erase(label.find_last_not_of(' ') + 1);
    say(label + ", " + std::to_string(marker.item + 1) + " of " +
        std::to_string(menuLabels.size()) + ".");
}

void Speech::followPlay(const World& world) {
    const WorldMap& map = world.map();
    for (const PlayEvent& event : world.events()) {
        switch (event.kind) {
        case PlayEvent::Kind::Stepped: {
            refused_ = false;
            const Ground ground = groundOf(map.at(event.cell));
            const bool captioned = event.ontoPath && map.captionAt(event.cell) != nullptr;
            if (!captioned && ground != groundOf(map.at(event.from))) {
                say(capitalised(groundName(ground)) + ".");
            }
            break;
        }
        case PlayEvent::Kind::StepRefused:
            if (refused_ && refusedAt_ == event.cell) {
                break;
            }
            refused_ = true;
            refusedAt_ = event.cell;
            if (!onGrid(event.cell.x, event.cell.y)) {
                say("The world's edge.");
            } else {
                say(capitalised(groundName(groundOf(map.at(event.cell)))) + ".");
            }
            break;
        case PlayEvent::Kind::CaptionShown: {
            std::string sentence = "Path: " + spoken(event.text) + ".";
            const Action& use = action(KeySlot::Use);
            const std::int32_t key = keys_[static_cast<std::size_t>(use.slot)];
            if (key != 0) {
                sentence += ' ';
                sentence += platform::vk::displayName(key);
                sentence += ' ';
                sentence += use.said;
                sentence += '.';
            }
            say(sentence);
            break;
        }
        case PlayEvent::Kind::JumpFailed:
            say(spoken(event.text));
            break;
        case PlayEvent::Kind::JumpDone:
            refused_ = false;
            sayWhere(world);
            break;
        case PlayEvent::Kind::PanelOpened: {
            const PanelReading& r = event.reading;
            char sentence[48];
            std::snprintf(sentence, sizeof sentence, "Time %02d:%02d:%02d, at %d, %d.", r.hours,
                          r.minutes, r.seconds, r.playerX, r.playerY);
            say(sentence);
            break;
        }
        case PlayEvent::Kind::PanelRefreshed:
        case PlayEvent::Kind::PanelClosed:
        case PlayEvent::Kind::PlayLeft:
            break;
        }
    }
}

void Speech::sayLines(std::span<const std::string> lines) {
    if (!on_) {
        return;
    }
    for (const std::string& line : lines) {
        // The box's columns become "name: keys".
        std::string sentence;
        std::size_t blanks = 0;
        for (const char c : line) {
            if (c == ' ') {
                ++blanks;
                continue;
            }
            if (blanks > 0 && !sentence.empty()) {
                sentence += blanks > 1 ? ": " : " ";
            }
            blanks = 0;
            sentence += c;
        }
        if (!sentence.empty()) {
            say(spoken(sentence));
        }
    }
}

void Speech::describe(const World& world) {
    if (!on_) {
        return;
    }
    const WorldMap& map = world.map();
    const MapCell here = world.player().cell();
    sayWhere(world);
    for (const Direction& d : directions) {
        say(lookToward(map, here, d));
    }
    // The paths the player can follow: the first link of each "-" cell that can be walked to.
    const std::vector<int> distance = stepsOnFoot(map, here, true);
    std::vector<std::pair<int, const MapLink*>> paths;
    for (const MapLink& link : map.links()) {
        const MapCell cell{link.x, link.y};
        if (!onGrid(link.x, link.y) || map.at(cell) != linkCellChar ||
            map.findLink(cell, nullptr) != &link || distance[cellIndex(cell)] < 0) {
            continue;
        }
        paths.emplace_back(distance[cellIndex(cell)], &link);
    }
    std::stable_sort(paths.begin(), paths.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    if (paths.empty()) {
        say("No path can be walked to.");
    }
    for (const auto& [count, link] : paths) {
        const MapCell cell{link->x, link->y};
        say("Path: " + spoken(link->caption) + ", " +
            (count == 0 ? std::string("here")
                        : std::string(directionTo(here, cell)) + ", " + steps(count)) +
            ".");
    }
}
