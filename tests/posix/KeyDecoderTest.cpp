// Terminal bytes to key events: classic input (strokes), the keyboard protocol (press, repeat,
// release), mouse and focus reports, split sequences and the lone Escape.
#include "platform/posix/KeyDecoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::posix::InputEvent;
using platform::posix::InputKind;
using platform::posix::KeyAction;
using platform::posix::KeyDecoder;

InputEvent stroke(int vk) {
    return {InputKind::Key, KeyAction::Stroke, static_cast<std::uint8_t>(vk), 0};
}
InputEvent press(int vk) {
    return {InputKind::Key, KeyAction::Press, static_cast<std::uint8_t>(vk), 0};
}
InputEvent repeat(int vk) {
    return {InputKind::Key, KeyAction::Repeat, static_cast<std::uint8_t>(vk), 0};
}
InputEvent release(int vk) {
    return {InputKind::Key, KeyAction::Release, static_cast<std::uint8_t>(vk), 0};
}
InputEvent signal(InputKind kind) { return {kind, KeyAction::Stroke, 0, 0}; }
InputEvent click(int column, int row) {
    return {InputKind::Click, KeyAction::Press, 0, 0, column, row};
}

std::vector<InputEvent> feed(KeyDecoder& decoder, std::string_view bytes) {
    decoder.feed(bytes);
    return {decoder.events().begin(), decoder.events().end()};
}

std::vector<InputEvent> decode(std::string_view bytes, bool protocol = false) {
    KeyDecoder decoder;
    decoder.setReportsReleases(protocol);
    return feed(decoder, bytes);
}

// Every byte fed on its own: the same events as in one read.
std::vector<InputEvent> decodeByteByByte(std::string_view bytes, bool protocol = false) {
    KeyDecoder decoder;
    decoder.setReportsReleases(protocol);
    std::vector<InputEvent> all;
    for (const char c : bytes) {
        const auto some = feed(decoder, std::string_view(&c, 1));
        all.insert(all.end(), some.begin(), some.end());
    }
    return all;
}

TEST(KeyDecoderClassic, CharactersMapToUsLayoutKeys) {
    EXPECT_EQ(decode("aZ09 "),
              (std::vector{stroke('A'), stroke('Z'), stroke('0'), stroke('9'), stroke(32)}));
    // Shifted symbols are their base key.
    EXPECT_EQ(decode("!:A)\"?"), (std::vector{stroke('1'), stroke(186), stroke('A'), stroke('0'),
                                              stroke(222), stroke(191)}));
    EXPECT_EQ(
        decode(";=,-./`[\\]'"),
        (std::vector{stroke(186), stroke(187), stroke(188), stroke(189), stroke(190), stroke(191),
                     stroke(192), stroke(219), stroke(220), stroke(221), stroke(222)}));
}

TEST(KeyDecoderClassic, ControlBytes) {
    EXPECT_EQ(decode("\r\n\t\x7f\b"),
              (std::vector{stroke(13), stroke(13), stroke(9), stroke(8), stroke(8)}));
    EXPECT_EQ(decode("\x05"), (std::vector{stroke('E')})); // Ctrl-E is the E key
    EXPECT_EQ(decode("\x03\x1a"),
              (std::vector{signal(InputKind::Interrupt), signal(InputKind::Suspend)}));
    // Bytes of characters beyond ASCII name no key; they are skipped, not misread.
    EXPECT_EQ(decode("\xc3\xa9x"), (std::vector{stroke('X')}));
}

TEST(KeyDecoderClassic, ArrowsAndFunctionKeysInEveryDialect) {
    EXPECT_EQ(decode("\x1b[D\x1b[A\x1b[C\x1b[B"),
              (std::vector{stroke(37), stroke(38), stroke(39), stroke(40)}));
    EXPECT_EQ(decode("\x1bOD\x1bOA\x1bOC\x1bOB"),
              (std::vector{stroke(37), stroke(38), stroke(39), stroke(40)}));
    EXPECT_EQ(decode("\x1b[1;5A\x1b[1;2D"), (std::vector{stroke(38), stroke(37)}));
    EXPECT_EQ(decode("\x1bOP\x1bOQ\x1bOR\x1bOS"),
              (std::vector{stroke(112), stroke(113), stroke(114), stroke(115)}));
    EXPECT_EQ(decode("\x1b[15~\x1b[17~\x1b[18~\x1b[19~\x1b[20~\x1b[21~\x1b[23~\x1b[24~"),
              (std::vector{stroke(116), stroke(117), stroke(118), stroke(119), stroke(120),
                           stroke(121), stroke(122), stroke(123)}));
    EXPECT_EQ(decode("\x1b[11~\x1b[[A\x1b[[E"),
              (std::vector{stroke(112), stroke(112), stroke(116)}));
    EXPECT_EQ(decode("\x1b[Z"), (std::vector{stroke(9)})); // Shift-Tab
}

TEST(KeyDecoderClassic, SeveralKeysInOneReadAndSequencesSplitAcrossReads) {
    const std::string bytes = "a\x1b[1;5Ab\x1bOP\x1b[24~\x1b[<0;3;4M\x1b[<0;3;4mc";
    const std::vector expected{stroke('A'), stroke(38),  stroke('B'), stroke(112), stroke(123),
                               press(1),    click(2, 3), release(1),  stroke('C')};
    EXPECT_EQ(decode(bytes), expected);
    EXPECT_EQ(decodeByteByByte(bytes), expected);
    KeyDecoder decoder;
    EXPECT_TRUE(feed(decoder, "x\x1b[1;").size() == 1);
    EXPECT_TRUE(decoder.pending());
    EXPECT_FALSE(decoder.pendingLoneEscape());
    EXPECT_EQ(feed(decoder, "5B"), (std::vector{stroke(40)}));
    EXPECT_FALSE(decoder.pending());
}

TEST(KeyDecoderClassic, LoneEscapeWaitsThenCounts) {
    KeyDecoder decoder;
    EXPECT_TRUE(feed(decoder, "\x1b").empty());
    EXPECT_TRUE(decoder.pendingLoneEscape());
    decoder.flush();
    EXPECT_EQ((std::vector<InputEvent>{decoder.events().begin(), decoder.events().end()}),
              (std::vector{stroke(27)}));
    EXPECT_FALSE(decoder.pending());
    // An Escape followed by another Escape is one key, and the second waits again.
    EXPECT_EQ(feed(decoder, "\x1b\x1b"), (std::vector{stroke(27)}));
    EXPECT_TRUE(decoder.pendingLoneEscape());
    // Escape then a character in one read is Alt with that key.
    EXPECT_EQ(decode("\x1bx"), (std::vector{stroke('X')}));
    // An unfinished sequence given up on is dropped, not turned into keys.
    KeyDecoder cut;
    feed(cut, "\x1b[1;5");
    cut.flush();
    EXPECT_TRUE(cut.events().empty());
    EXPECT_EQ(feed(cut, "A"), (std::vector{stroke('A')}));
}

TEST(KeyDecoderClassic, GarbageCannotWedgeTheDecoder) {
    KeyDecoder decoder;
    // A sequence that never ends is dropped once it is longer than any real one.
    EXPECT_TRUE(feed(decoder, "\x1b[" + std::string(200, '1')).empty());
    EXPECT_FALSE(decoder.pending());
    EXPECT_EQ(feed(decoder, "q"), (std::vector{stroke('Q')}));
    // A new Escape cuts a sequence short: what follows decodes normally.
    EXPECT_EQ(decode("\x1b[1\x1b[B"), (std::vector{stroke(40)}));
}

TEST(KeyDecoderProtocol, PressRepeatReleaseWithExactKeys) {
    EXPECT_EQ(decode("\x1b[97u\x1b[97;1:2u\x1b[97;1:3u", true),
              (std::vector{press('A'), repeat('A'), release('A')}));
    // Shift held: the key is still the base key.
    EXPECT_EQ(decode("\x1b[49;2u\x1b[49;2:3u", true), (std::vector{press('1'), release('1')}));
    EXPECT_EQ(decode("\x1b[1;1:1D\x1b[1;1:3D\x1b[1;1:2A", true),
              (std::vector{press(37), release(37), repeat(38)}));
    EXPECT_EQ(decode("\x1b[27u\x1b[13u\x1b[9u\x1b[127u\x1b[32u", true),
              (std::vector{press(27), press(13), press(9), press(8), press(32)}));
    EXPECT_EQ(decode("\x1b[15;1:3~\x1b[1P", true), (std::vector{release(116), press(112)}));
    EXPECT_EQ(decode("\x1b[57441u\x1b[57414u\x1b[57399;1:3u", true),
              (std::vector{press(16), press(13), release(96)}));
    // Several keys held at once: all their events, in order, however the reads cut them.
    const std::string held = "\x1b[1;1:1A\x1b[1;1:1C\x1b[1;1:2A\x1b[1;1:3C\x1b[97;1:3u";
    const std::vector expected{press(38), press(39), repeat(38), release(39), release('A')};
    EXPECT_EQ(decode(held, true), expected);
    EXPECT_EQ(decodeByteByByte(held, true), expected);
}

TEST(KeyDecoderProtocol, CtrlCAndCtrlZAsKeys) {
    EXPECT_EQ(decode("\x1b[99;5u", true), (std::vector{signal(InputKind::Interrupt)}));
    EXPECT_EQ(decode("\x1b[122;5u", true), (std::vector{signal(InputKind::Suspend)}));
    // Their releases do nothing; C without Ctrl is the C key.
    EXPECT_TRUE(decode("\x1b[99;5:3u\x1b[122;5:3u", true).empty());
    EXPECT_EQ(decode("\x1b[99u", true), (std::vector{press('C')}));
    // Caps Lock on does not hide Ctrl.
    EXPECT_EQ(decode("\x1b[99;69u", true), (std::vector{signal(InputKind::Interrupt)}));
}

TEST(KeyDecoderProtocol, AnswersFocusAndMouse) {
    const auto answers = decode("\x1b[?11u\x1b[?62;22c");
    ASSERT_EQ(answers.size(), 2U);
    EXPECT_EQ(answers[0].kind, InputKind::KeyboardFlags);
    EXPECT_EQ(answers[0].value, 11);
    EXPECT_EQ(answers[1].kind, InputKind::DeviceAttributes);
    EXPECT_EQ(decode("\x1b[I\x1b[O"),
              (std::vector{signal(InputKind::FocusIn), signal(InputKind::FocusOut)}));
    // Only the left button is a key, and its press a click on a cell (from 0); the right button,
    // the wheel and motion are not.
    EXPECT_EQ(decode("\x1b[<0;10;5M\x1b[<2;1;1M\x1b[<64;1;1M\x1b[<32;2;2M\x1b[<0;10;5m"),
              (std::vector{press(1), click(9, 4), release(1)}));
    // Split in the middle of a mouse report.
    EXPECT_EQ(decodeByteByByte("\x1b[<0;120;45M"), (std::vector{press(1), click(119, 44)}));
    // Reports of the old kind, where the terminal has no SGR ones: never read as keys.
    EXPECT_EQ(decodeByteByByte("\x1b[M !!\x1b[M#!!\x1b[M\"MMx"),
              (std::vector{press(1), click(0, 0), release(1), stroke('X')}));
}

TEST(KeyDecoderClassic, ModifyOtherKeysReportsWithoutProtocolAreStrokes) {
    EXPECT_EQ(decode("\x1b[97;5u\x1b[9;5u"), (std::vector{stroke('A'), stroke(9)}));
}

} // namespace
