#include "posix/KeyDecoder.h"

#include "VirtualKeys.h"
#include "posix/KeyCodes.h"

#include <algorithm>

namespace platform::posix {

namespace {

constexpr char esc = '\x1b';

KeyAction actionOf(int eventType, bool reportsReleases) {
    switch (eventType) {
    case 2:
        return KeyAction::Repeat;
    case 3:
        return KeyAction::Release;
    case 1:
        return KeyAction::Press;
    default:
        return reportsReleases ? KeyAction::Press : KeyAction::Stroke;
    }
}

constexpr int modifierControl = 4;

} // namespace

void KeyDecoder::emit(const InputEvent& event) {
    if (eventCount_ < events_.size()) {
        events_[eventCount_++] = event;
    }
}

void KeyDecoder::key(std::uint8_t code, KeyAction action) {
    if (code != 0) {
        emit(InputEvent{InputKind::Key, action, code, 0});
    }
}

void KeyDecoder::leftButton(bool down, int column, int row) {
    key(vk::leftButton, down ? KeyAction::Press : KeyAction::Release);
    if (down) {
        emit(InputEvent{InputKind::Click, KeyAction::Press, 0, 0, column, row});
    }
}

// A byte on its own: a character, Enter, Tab, Backspace or a Ctrl combination.
void KeyDecoder::byteKey(std::uint8_t byte) {
    switch (byte) {
    case 3:
        emit(InputEvent{InputKind::Interrupt});
        return;
    case 26:
        emit(InputEvent{InputKind::Suspend});
        return;
    case 0:
        key(vk::space, KeyAction::Stroke); // Ctrl-Space
        return;
    case '\r':
    case '\n':
        key(vk::enter, KeyAction::Stroke);
        return;
    case '\t':
        key(vk::tab, KeyAction::Stroke);
        return;
    case 8:
    case 127:
        key(vk::back, KeyAction::Stroke);
        return;
    case 27:
        key(vk::escape, KeyAction::Stroke);
        return;
    default:
        break;
    }
    if (byte < 27) {
        key(static_cast<std::uint8_t>('A' + byte - 1), KeyAction::Stroke); // Ctrl-letter
    } else if (byte >= 32 && byte < 127) {
        key(virtualKeyForChar(byte), KeyAction::Stroke);
    }
    // Other control bytes and the bytes of characters beyond ASCII name no key of the layout.
}

std::size_t KeyDecoder::decodeCsi(std::string_view bytes) {
    // bytes starts with ESC [
    std::size_t i = 2;
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) >= 0x20 &&
           static_cast<unsigned char>(bytes[i]) <= 0x3F) {
        ++i;
    }
    if (i >= bytes.size()) {
        return 0;
    }
    const auto finalByte = static_cast<unsigned char>(bytes[i]);
    if (finalByte < 0x40 || finalByte > 0x7E) {
        // Cut short (by an Escape or a control byte): drop what came, decode the rest.
        return i;
    }
    const char final = static_cast<char>(finalByte);
    std::string_view body = bytes.substr(2, i - 2);
    const std::size_t used = i + 1;
    char marker = 0;
    if (!body.empty() && (body[0] == '?' || body[0] == '<' || body[0] == '>' || body[0] == '=')) {
        marker = body[0];
        body.remove_prefix(1);
    }
    if (marker == 0 && body.empty() && final == '[') {
        // The Linux console's F1-F5: ESC [ [ A .. ESC [ [ E.
        if (used >= bytes.size()) {
            return 0;
        }
        const char f = bytes[used];
        if (f >= 'A' && f <= 'E') {
            key(static_cast<std::uint8_t>(vk::f1 + (f - 'A')), KeyAction::Stroke);
        }
        return used + 1;
    }
    if (marker == 0 && body.empty() && final == 'M') {
        // A mouse report of the old kind (terminals without SGR reports): three bytes follow,
        // the button, the column and the row, each plus 32 (the column and row from 1); button 3
        // is a release. A cell too far for a byte comes as a byte below 33: a click nowhere.
        if (used + 3 > bytes.size()) {
            return 0;
        }
        const auto field = [&](std::size_t at) {
            return static_cast<unsigned char>(bytes[at]) - 32;
        };
        const int button = field(used);
        if ((button & (32 | 64)) == 0 && ((button & 3) == 0 || (button & 3) == 3)) {
            leftButton((button & 3) == 0, field(used + 1) - 1, field(used + 2) - 1);
        }
        return used + 3;
    }
    const Params p = parseParams(body);
    if (marker == '?') {
        if (final == 'u') {
            emit(InputEvent{InputKind::KeyboardFlags, KeyAction::Stroke, 0, p.get(0, 0, 0)});
        } else if (final == 'c') {
            emit(InputEvent{InputKind::DeviceAttributes, KeyAction::Stroke, 0, p.get(0, 0, 0)});
        }
        return used;
    }
    if (marker == '<') {
        if (final == 'M' || final == 'm') {
            const int button = p.get(0, 0, 0);
            // Left button, not a motion or wheel report; the column and row count from 1.
            if ((button & 3) == 0 && (button & (32 | 64 | 128)) == 0) {
                leftButton(final == 'M', p.get(1, 0, 0) - 1, p.get(2, 0, 0) - 1);
            }
        }
        return used;
    }
    if (marker != 0) {
        return used;
    }
    const int modifiers = p.get(1, 0, 1) - 1;
    const KeyAction action = actionOf(p.get(1, 1, 0), reportsReleases_);
    switch (final) {
    case 'u': {
        const int code = p.get(0, 0, 0);
        const bool down = action != KeyAction::Release;
        if ((modifiers & modifierControl) != 0 && (code == 'c' || code == 'C')) {
            if (down) {
                emit(InputEvent{InputKind::Interrupt});
            }
            return used;
        }
        if ((modifiers & modifierControl) != 0 && (code == 'z' || code == 'Z')) {
            if (action == KeyAction::Press || action == KeyAction::Stroke) {
                emit(InputEvent{InputKind::Suspend});
            }
            return used;
        }
        key(protocolKey(code), action);
        return used;
    }
    case '~':
        key(tildeKey(p.get(0, 0, 0)), action);
        return used;
    case 'I':
        emit(InputEvent{InputKind::FocusIn});
        return used;
    case 'O':
        emit(InputEvent{InputKind::FocusOut});
        return used;
    case 'Z':
        key(vk::tab, action); // Shift-Tab
        return used;
    default:
        key(letterKey(final), action);
        return used;
    }
}

std::size_t KeyDecoder::decodeSs3(std::string_view bytes) {
    if (bytes.size() < 3) {
        return 0;
    }
    key(letterKey(bytes[2]), KeyAction::Stroke);
    return 3;
}

std::size_t KeyDecoder::decodeOne(std::string_view bytes) {
    const auto first = static_cast<std::uint8_t>(bytes[0]);
    if (first != static_cast<std::uint8_t>(esc)) {
        byteKey(first);
        return 1;
    }
    if (bytes.size() < 2) {
        return 0;
    }
    switch (bytes[1]) {
    case '[':
        return decodeCsi(bytes);
    case 'O':
        return decodeSs3(bytes);
    case esc:
        key(vk::escape, KeyAction::Stroke);
        return 1;
    default:
        // Alt with a key: the key.
        byteKey(static_cast<std::uint8_t>(bytes[1]));
        return 2;
    }
}

void KeyDecoder::feed(std::string_view bytes) {
    eventCount_ = 0;
    bytes = bytes.substr(0, std::min(bytes.size(), maxFeed));
    std::copy(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(pendingLength_),
              work_.begin());
    std::copy(bytes.begin(), bytes.end(),
              work_.begin() + static_cast<std::ptrdiff_t>(pendingLength_));
    const std::size_t total = pendingLength_ + bytes.size();
    pendingLength_ = 0;
    std::size_t at = 0;
    while (at < total) {
        const std::string_view rest(work_.data() + at, total - at);
        const std::size_t used = decodeOne(rest);
        if (used == 0) {
            if (rest.size() >= maxSequence) {
                break; // longer than any sequence a terminal sends: garbage, dropped
            }
            std::copy(rest.begin(), rest.end(), pending_.begin());
            pendingLength_ = rest.size();
            break;
        }
        at += used;
    }
}

void KeyDecoder::flush() {
    eventCount_ = 0;
    if (pendingLoneEscape()) {
        key(vk::escape, KeyAction::Stroke);
    }
    pendingLength_ = 0;
}

} // namespace platform::posix
