// Turns the bytes a terminal sends into key events with Windows virtual-key codes (US layout):
// plain bytes and the classic escape sequences, the keyboard protocol's CSI u reports with press,
// repeat and release, mouse reports (the left button as a key, and where it went down), focus
// reports and the answers to the start-up queries.
// Sequences split across reads are held until the rest arrives. Pure: no I/O, no clock.
#pragma once

#include "posix/KeyCodes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace platform::posix {

enum class InputKind : std::uint8_t {
    Key,
    FocusIn,
    FocusOut,
    Interrupt,        // Ctrl-C
    Suspend,          // Ctrl-Z
    KeyboardFlags,    // answer to CSI ? u: the keyboard protocol is there; value = its flags
    DeviceAttributes, // answer to CSI c
    Click,            // the left mouse button went down on the terminal's cell (column, row)
};

enum class KeyAction : std::uint8_t {
    Stroke,  // a key went down; no release will be reported (classic terminal input)
    Press,   // down, a release will follow
    Repeat,  // still down
    Release, // up
};

struct InputEvent {
    InputKind kind = InputKind::Key;
    KeyAction action = KeyAction::Stroke;
    std::uint8_t vk = 0;
    int value = 0;
    // A click's cell, from 0 at the terminal's top-left; -1 where the report gives none.
    int column = 0;
    int row = 0;
    friend bool operator==(const InputEvent&, const InputEvent&) = default;
};

class KeyDecoder {
public:
    static constexpr std::size_t maxFeed = 512;
    static constexpr std::size_t maxSequence = 64;

    // With the keyboard protocol on, key reports without an event type are presses (a release
    // follows); without it they are strokes.
    void setReportsReleases(bool on) { reportsReleases_ = on; }

    // Decodes `bytes` (at most maxFeed) after what was held back; the events are in events()
    // until the next feed().
    void feed(std::string_view bytes);
    std::span<const InputEvent> events() const { return {events_.data(), eventCount_}; }

    // True when bytes of an unfinished sequence are held back.
    bool pending() const { return pendingLength_ != 0; }
    // True when the only byte held back is an Escape that may still start a sequence.
    bool pendingLoneEscape() const { return pendingLength_ == 1 && pending_[0] == '\x1b'; }
    // Gives up waiting: a lone Escape becomes the Escape key, other unfinished bytes are dropped.
    // The events are in events().
    void flush();

private:
    // Decodes one item at the start of `bytes`; the number of bytes used, or 0 when the item is
    // not complete yet.
    std::size_t decodeOne(std::string_view bytes);
    std::size_t decodeCsi(std::string_view bytes);
    std::size_t decodeSs3(std::string_view bytes);
    void key(std::uint8_t vk, KeyAction action);
    // A report of the left button: its key, and where it went down.
    void leftButton(bool down, int column, int row);
    void emit(const InputEvent& event);
    void byteKey(std::uint8_t byte);

    std::array<char, maxSequence> pending_{};
    std::size_t pendingLength_ = 0;
    std::array<char, maxSequence + maxFeed> work_{};
    std::array<InputEvent, maxSequence + maxFeed> events_{};
    std::size_t eventCount_ = 0;
    bool reportsReleases_ = false;
};

} // namespace platform::posix
