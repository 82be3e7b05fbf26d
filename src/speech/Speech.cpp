#include "speech/Speech.h"

#include "menu/MainMenu.h"
#include "platform/Cp437.h"
#include "platform/VirtualKeys.h"
#include "speech/Ground.h"
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

// The ground one way from `cell`: its kind and how far it goes, then what comes after it.
std::string lookToward(const WorldMap& map, MapCell cell, const Heading& d) {
    std::string text = capitalised(d.name) + ": ";
    int x = cell.x + d.step.dx;
    int y = cell.y + d.step.dy;
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
        x += d.step.dx;
        y += d.step.dy;
    }
    return text + " for " + steps(run) + ", then the world's edge.";
}

// What blocks a step, as a sentence: "Hedges block the way."
std::string blocks(std::string_view ground) {
    const bool many = !ground.empty() && ground.back() == 's';
    return capitalised(ground) + (many ? " block the way." : " blocks the way.");
}

// A route in runs: "12 west, 5 north".
std::string inRuns(std::span<const RouteStep> route) {
    std::string text;
    for (std::size_t i = 0; i < route.size();) {
        std::size_t end = i;
        while (end < route.size() && route[end] == route[i]) {
            ++end;
        }
        text += (text.empty() ? "" : ", ") + std::to_string(end - i) + " " +
                std::string(headingName(route[i]));
        i = end;
    }
    return text;
}

} // namespace

void Speech::switchOn(const KeyCodes& keys, std::string_view farewell) {
    on_ = true;
    keys_ = keys;
    farewell_ = farewell;
}

void Speech::say(std::string sentence) {
    if (!batchOpen_) {
        batch_.clear();
        batchOpen_ = true;
    }
    batch_.push_back(sentence);
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
            described_ = false;
            sayWhere(world);
            sayNewWorld(world.map().name());
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

void Speech::sayRefused(const WorldMap& map, const PlayEvent& event) {
    // The first bump says what blocks; each further tap against it, that it still does.
    if (refused_ && refusedAt_ == event.cell) {
        if (event.tapped) {
            say("Blocked.");
        }
        return;
    }
    refused_ = true;
    refusedAt_ = event.cell;
    if (!onGrid(event.cell.x, event.cell.y)) {
        say("The world's edge blocks the way.");
    } else {
        say(blocks(groundName(groundOf(map.at(event.cell)))));
    }
}

void Speech::sayCaption(std::string_view caption) {
    std::string sentence = "Path: " + spoken(caption) + ".";
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
}

void Speech::sayNewWorld(const std::string& name) {
    if (std::find(seen_.begin(), seen_.end(), name) != seen_.end()) {
        return;
    }
    seen_.push_back(name);
    if (seen_.size() > 1) {
        say("New world, " + std::to_string(seen_.size()) + " seen.");
    }
}

void Speech::followPlay(const World& world) {
    const WorldMap& map = world.map();
    bool captioned = false;
    for (const PlayEvent& event : world.events()) {
        switch (event.kind) {
        case PlayEvent::Kind::Stepped: {
            refused_ = false;
            described_ = false;
            const Ground ground = groundOf(map.at(event.cell));
            const bool onCaption = event.ontoPath && map.captionAt(event.cell) != nullptr;
            // Travel's steps go unsaid: it says where it goes, and that it arrived.
            if (!event.byTravel && !onCaption && ground != groundOf(map.at(event.from))) {
                say(capitalised(groundName(ground)) + ".");
            }
            break;
        }
        case PlayEvent::Kind::StepRefused:
            sayRefused(map, event);
            break;
        case PlayEvent::Kind::CaptionShown:
            captioned = true;
            sayCaption(event.text);
            break;
        case PlayEvent::Kind::JumpFailed:
            say(spoken(event.text));
            break;
        case PlayEvent::Kind::JumpDone:
            refused_ = false;
            described_ = false;
            sayWhere(world);
            sayNewWorld(map.name());
            break;
        case PlayEvent::Kind::PanelOpened: {
            const PanelReading& r = event.reading;
            char sentence[48];
            std::snprintf(sentence, sizeof sentence, "Time %02d:%02d:%02d, at %d, %d.", r.hours,
                          r.minutes, r.seconds, r.playerX, r.playerY);
            say(sentence);
            break;
        }
        case PlayEvent::Kind::TravelStarted:
            say("To " +
                (event.ontoPath
                     ? spoken(event.text)
                     : std::to_string(event.cell.x) + ", " + std::to_string(event.cell.y)) +
                ", " + steps(event.steps) + ".");
            break;
        case PlayEvent::Kind::TravelArrived:
            // On a path its caption says it.
            if (!captioned) {
                say("Arrived.");
            }
            break;
        case PlayEvent::Kind::TravelStopped:
            say("Travel stopped.");
            break;
        case PlayEvent::Kind::NoPathInReach:
            say(event.ontoPath ? "No other path in reach." : "No path in reach.");
            if (event.ontoPath) {
                sayCaption(event.text);
            }
            break;
        case PlayEvent::Kind::NoNearerCell:
            say("No nearer place can be walked to.");
            break;
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
    if (described_ && describedAt_ == here) {
        for (const Heading& heading : headings) {
            say(lookToward(map, here, heading));
        }
        return;
    }
    described_ = true;
    describedAt_ = here;
    say(spoken(map.name()) + ", " + atCell(here) + ", on " +
        std::string(groundName(groundOf(map.at(here)))) + ".");
    sayPaths(world);
}

void Speech::sayPaths(const World& world) {
    // The paths travel can reach: the first link of each "-" cell, nearest first.
    const WorldMap& map = world.map();
    struct Reached {
        std::size_t steps;
        const MapLink* link;
    };
    std::vector<Reached> paths;
    for (const MapLink& link : map.links()) {
        const MapCell cell{link.x, link.y};
        if (onGrid(link.x, link.y) && map.at(cell) == linkCellChar &&
            map.findLink(cell, nullptr) == &link && world.routeTo(cell, route_)) {
            paths.push_back({route_.size(), &link});
        }
    }
    std::stable_sort(paths.begin(), paths.end(),
                     [](const Reached& a, const Reached& b) { return a.steps < b.steps; });
    if (paths.empty()) {
        say("No path in reach.");
    }
    for (const Reached& path : paths) {
        world.routeTo(MapCell{path.link->x, path.link->y}, route_);
        say("Path: " + spoken(path.link->caption) + ", " +
            (route_.empty() ? std::string("here")
                            : steps(static_cast<int>(route_.size())) + ": " + inRuns(route_)) +
            ".");
    }
}

void Speech::repeat() {
    if (!on_) {
        return;
    }
    for (const std::string& sentence : batch_) {
        if (listener_) {
            listener_(sentence);
        } else {
            said_.push_back(sentence);
        }
    }
}
