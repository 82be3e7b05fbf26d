#include "posix/KeyCodes.h"

#include "VirtualKeys.h"

#include <algorithm>

namespace platform::posix {

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

} // namespace platform::posix
