#include "posix/KeyDecoder.h"

#include "VirtualKeys.h"

#include <algorithm>

namespace platform::posix {

namespace {

constexpr char esc = '\x1b';

// Parameters of a control sequence: up to eight fields of up to four colon-separated numbers;
// -1 where a number is left out.
struct Params {
    static constexpr int maxFields = 8;
    static constexpr int maxSub = 4;
    std::array<std::array<int, maxSub>, maxFields> value{};
    int count = 0;

    int get(int field, int sub, int fallback) const {
        if (field >= count ||
            value[static_cast<std::size_t>(field)][static_cast<std::size_t>(sub)] < 0) {
            return fallback;
        }
        return value[static_cast<std::size_t>(field)][static_cast<std::size_t>(sub)];
    }
};

Params parseParams(std::string_view text) {
    Params p;
    for (auto& field : p.value) {
        field.fill(-1);
    }
    if (text.empty()) {
        return p;
    }
    int field = 0;
    int sub = 0;
    p.count = 1;
    for (const char c : text) {
        if (c == ';') {
            if (field + 1 < Params::maxFields) {
                ++field;
                p.count = field + 1;
            }
            sub = 0;
        } else if (c == ':') {
            if (sub + 1 < Params::maxSub) {
                ++sub;
            }
        } else if (c >= '0' && c <= '9') {
            int& v = p.value[static_cast<std::size_t>(field)][static_cast<std::size_t>(sub)];
            v = std::min((v < 0 ? 0 : v) * 10 + (c - '0'), 1 << 24);
        }
    }
    return p;
}

// A key of the "CSI number ~" family.
std::uint8_t tildeKey(int number) {
    switch (number) {
    case 1:
    case 7:
        return vk::home;
    case 2:
        return vk::insert;
    case 3:
        return vk::del;
    case 4:
    case 8:
        return vk::end;
    case 5:
        return vk::prior;
    case 6:
        return vk::next;
    case 11:
    case 12:
    case 13:
    case 14:
    case 15:
        return static_cast<std::uint8_t>(vk::f1 + number - 11);
    case 17:
    case 18:
    case 19:
    case 20:
    case 21:
        return static_cast<std::uint8_t>(vk::f1 + 5 + number - 17);
    case 23:
    case 24:
        return static_cast<std::uint8_t>(vk::f1 + 10 + number - 23);
    default:
        return 0;
    }
}

// A key of the "CSI 1 ; mods letter" and "SS3 letter" families.
std::uint8_t letterKey(char final) {
    switch (final) {
    case 'A':
        return vk::up;
    case 'B':
        return vk::down;
    case 'C':
        return vk::right;
    case 'D':
        return vk::left;
    case 'E':
        return vk::clear;
    case 'H':
        return vk::home;
    case 'F':
        return vk::end;
    case 'P':
    case 'Q':
    case 'R':
    case 'S':
        return static_cast<std::uint8_t>(vk::f1 + (final - 'P'));
    case 'M':
        return vk::enter; // keypad Enter in application mode
    default:
        return 0;
    }
}

// A key code of the keyboard protocol: a Unicode code point or one of its private-use codes.
std::uint8_t protocolKey(int code) {
    switch (code) {
    case 8:
    case 127:
        return vk::back;
    case 9:
        return vk::tab;
    case 13:
        return vk::enter;
    case 27:
        return vk::escape;
    case 57358:
        return vk::capital;
    case 57409:
        return vk::decimal;
    case 57410:
        return vk::divide;
    case 57411:
        return vk::multiply;
    case 57412:
        return vk::subtract;
    case 57413:
        return vk::add;
    case 57414:
        return vk::enter;
    case 57415:
        return vk::oemPlus;
    case 57417:
        return vk::left;
    case 57418:
        return vk::right;
    case 57419:
        return vk::up;
    case 57420:
        return vk::down;
    case 57421:
        return vk::prior;
    case 57422:
        return vk::next;
    case 57423:
        return vk::home;
    case 57424:
        return vk::end;
    case 57425:
        return vk::insert;
    case 57426:
        return vk::del;
    case 57441:
    case 57447:
        return vk::shift;
    case 57442:
    case 57448:
        return vk::control;
    case 57443:
    case 57449:
        return vk::menu;
    default:
        break;
    }
    if (code >= 57399 && code <= 57408) {
        return static_cast<std::uint8_t>(vk::numpad0 + (code - 57399));
    }
    if (code >= 57376 && code <= 57387) {
        return static_cast<std::uint8_t>(vk::f13 + (code - 57376));
    }
    if (code >= 0 && code < 0x80) {
        return virtualKeyForChar(static_cast<char32_t>(code));
    }
    return 0;
}

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

std::uint8_t virtualKeyForChar(char32_t ch) {
    if (ch >= 'a' && ch <= 'z') {
        return static_cast<std::uint8_t>(ch - 'a' + 'A');
    }
    if ((ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9')) {
        return static_cast<std::uint8_t>(ch);
    }
    switch (ch) {
    case ' ':
        return vk::space;
    case ')':
        return '0';
    case '!':
        return '1';
    case '@':
        return '2';
    case '#':
        return '3';
    case '$':
        return '4';
    case '%':
        return '5';
    case '^':
        return '6';
    case '&':
        return '7';
    case '*':
        return '8';
    case '(':
        return '9';
    case ';':
    case ':':
        return 186;
    case '=':
    case '+':
        return 187;
    case ',':
    case '<':
        return 188;
    case '-':
    case '_':
        return 189;
    case '.':
    case '>':
        return 190;
    case '/':
    case '?':
        return 191;
    case '`':
    case '~':
        return 192;
    case '[':
    case '{':
        return 219;
    case '\\':
    case '|':
        return 220;
    case ']':
    case '}':
        return 221;
    case '\'':
    case '"':
        return 222;
    default:
        return 0;
    }
}

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
        // the first the button plus 32; 3 is a release.
        if (used + 3 > bytes.size()) {
            return 0;
        }
        const int button = static_cast<unsigned char>(bytes[used]) - 32;
        if ((button & (32 | 64)) == 0) {
            if ((button & 3) == 0) {
                key(vk::leftButton, KeyAction::Press);
            } else if ((button & 3) == 3) {
                key(vk::leftButton, KeyAction::Release);
            }
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
            // Left button, not a motion or wheel report.
            if ((button & 3) == 0 && (button & (32 | 64 | 128)) == 0) {
                key(vk::leftButton, final == 'M' ? KeyAction::Press : KeyAction::Release);
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
