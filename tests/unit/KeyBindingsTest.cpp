// How the names in config.ini become the key codes of the twelve key slots.
#include "GameHarness.h"

#include <gtest/gtest.h>

using harness::controlsFrom;

namespace {

int slot(const Controls& controls, KeySlot s) { return controls.key(s); }

// The code `value` binds in the character form (through cMoveUp).
int characterCode(const std::string& value) {
    return controlsFrom("cMoveUp = " + value + "\n").key(KeySlot::MoveUp);
}

// The code `value` binds in the number form (through cSelect).
int numberCode(const std::string& value) {
    return controlsFrom("cSelect = " + value + "\n").key(KeySlot::Select);
}

// No key of the table is down or latched.
bool allIdle(const Controls& controls) {
    for (int code = 0; code < 256; ++code) {
        if (controls.phase(static_cast<std::uint8_t>(code)) != KeyPhase::Idle) {
            return false;
        }
    }
    return true;
}

} // namespace

TEST(KeyBindings, WithoutConfigOnlyEscapeAndHelpAreBound) {
    const Controls controls = controlsFrom(nullptr);
    EXPECT_EQ(slot(controls, KeySlot::Escape), 27);
    EXPECT_EQ(slot(controls, KeySlot::HelpF1), 112);
    for (int i = 1; i <= static_cast<int>(KeySlot::Help); ++i) {
        EXPECT_EQ(controls.keys()[static_cast<std::size_t>(i)], 0) << "slot " << i;
    }
    EXPECT_TRUE(allIdle(controls));
}

TEST(KeyBindings, EveryNameFillsItsOwnSlot) {
    const Controls controls = controlsFrom("cMoveUp = a\ncMoveDown = b\ncMoveLeft = c\n"
                                           "cMoveRight = d\ncUse = e\ncSelect = 102\n"
                                           "cRest = g\ncSave = h\ncLoad = i\n"
                                           "cToggleInventory = j\ncToggleRightOverlay = 107\n"
                                           "cHelp = 108\ncDescribe = m\n");
    const std::array<std::int32_t, keySlotCount> expected = {27,  'A', 'B', 'C', 'D', 'E', 102, 'G',
                                                             'H', 'I', 'J', 107, 108, 'M', 112};
    EXPECT_EQ(controls.keys(), expected);
    EXPECT_TRUE(allIdle(controls));
}

TEST(KeyBindings, F1OpensHelpUnlessANameBindsIt) {
    for (const char* config : {"cSelect = 112\n", "cHelp = 112\n", "cToggleRightOverlay = 112\n"}) {
        EXPECT_EQ(slot(controlsFrom(config), KeySlot::HelpF1), 0) << config;
    }
    EXPECT_EQ(slot(controlsFrom("cHelp = 72\n"), KeySlot::Help), 72);
    EXPECT_EQ(slot(controlsFrom("cHelp = 72\n"), KeySlot::HelpF1), 112);
}

TEST(KeyBindings, EscapeCannotBeRebound) {
    const Controls controls = controlsFrom("Escape = 13\ncEscape = 13\n = 13\n");
    EXPECT_EQ(slot(controls, KeySlot::Escape), 27);
}

TEST(KeyBindings, CharacterForm) {
    EXPECT_EQ(characterCode("w"), 87);
    EXPECT_EQ(characterCode("W"), 87);
    EXPECT_EQ(characterCode("a"), 65);
    EXPECT_EQ(characterCode("z"), 90);
    EXPECT_EQ(characterCode("Up"), 85);
    EXPECT_EQ(characterCode("8"), 56);
    EXPECT_EQ(characterCode("&"), 38);
    EXPECT_EQ(characterCode("%"), 37);
    EXPECT_EQ(characterCode("'"), 39);
    EXPECT_EQ(characterCode("("), 40);
    EXPECT_EQ(characterCode("\t\tq"), 81);
    // Only small letters move to their capitals; the bytes around them keep their codes.
    EXPECT_EQ(characterCode("`"), 96);
    EXPECT_EQ(characterCode("{"), 123);
    EXPECT_EQ(characterCode("~"), 126);
    EXPECT_EQ(characterCode("\x7F"), 127);
}

TEST(KeyBindings, CharacterFormBytesAbove127BindTheirOwnCode) {
    EXPECT_EQ(characterCode("\x80"), 128);
    EXPECT_EQ(characterCode("\xE0"), 224); // not made a capital like a letter
    EXPECT_EQ(characterCode("\xFF"), 255);
    EXPECT_EQ(characterCode("\xC3\xA9"), 195); // the first byte of a UTF-8 letter
}

TEST(KeyBindings, CharacterFormGivingNothingLeavesTheSlotUnbound) {
    EXPECT_EQ(characterCode(""), 0);
    EXPECT_EQ(characterCode("     "), 0);
    EXPECT_EQ(characterCode("\t\t"), 0);
    EXPECT_EQ(characterCode("\t\v\f"), 0);
}

TEST(KeyBindings, NumberForm) {
    EXPECT_EQ(numberCode("13"), 13);
    EXPECT_EQ(numberCode("13 junk"), 13);
    EXPECT_EQ(numberCode("+13"), 13);
    EXPECT_EQ(numberCode("0013"), 13);
    EXPECT_EQ(numberCode("9"), 9);
    EXPECT_EQ(numberCode("112"), 112);
    EXPECT_EQ(numberCode("1"), 1);
    EXPECT_EQ(numberCode("0"), 0);
    EXPECT_EQ(numberCode("255"), 255);
    // "8" in the number form is code 8, not the key of the digit 8.
    EXPECT_EQ(numberCode("8"), 8);
}

TEST(KeyBindings, NumberFormOutsideTheKeyCodesLeavesTheSlotUnbound) {
    EXPECT_EQ(numberCode(""), 0);
    EXPECT_EQ(numberCode("   "), 0);
    EXPECT_EQ(numberCode("Enter"), 0);
    EXPECT_EQ(numberCode("-1"), 0);
    EXPECT_EQ(numberCode("-255"), 0);
    EXPECT_EQ(numberCode("256"), 0);
    EXPECT_EQ(numberCode("269"), 0); // would be 13 in the low byte
    EXPECT_EQ(numberCode("2147483647"), 0);
    EXPECT_EQ(numberCode("4294967309"), 0); // 2^32 + 13
    EXPECT_EQ(numberCode("-2147483648"), 0);
    EXPECT_EQ(numberCode("99999999999999999999"), 0);
}

TEST(KeyBindings, BothFormsFollowTheTable) {
    // cToggleRightOverlay is read as a number, cUse as a character.
    const Controls controls = controlsFrom("cToggleRightOverlay = 9\ncUse = 9\n");
    EXPECT_EQ(slot(controls, KeySlot::ToggleRightOverlay), 9);
    EXPECT_EQ(slot(controls, KeySlot::Use), '9');
    const Controls letters = controlsFrom("cToggleRightOverlay = T\ncSelect = x\n");
    EXPECT_EQ(slot(letters, KeySlot::ToggleRightOverlay), 0);
    EXPECT_EQ(slot(letters, KeySlot::Select), 0);
}

TEST(KeyBindings, NamesInOtherLetterCaseAreMissing) {
    const Controls controls = controlsFrom("cmoveup = W\nCMOVEDOWN = S\ncselect = 13\n");
    EXPECT_EQ(slot(controls, KeySlot::MoveUp), 0);
    EXPECT_EQ(slot(controls, KeySlot::MoveDown), 0);
    EXPECT_EQ(slot(controls, KeySlot::Select), 0);
}

TEST(KeyBindings, ShippedConfigBindsArrowsEnterAndTab) {
    const std::string text =
        harness::readFile(std::string(THARVOK_SOURCE_DIR) + "/data/config.ini");
    ASSERT_FALSE(text.empty());
    const Controls controls = controlsFrom(text);
    EXPECT_EQ(slot(controls, KeySlot::MoveUp), 38);
    EXPECT_EQ(slot(controls, KeySlot::MoveDown), 40);
    EXPECT_EQ(slot(controls, KeySlot::MoveLeft), 37);
    EXPECT_EQ(slot(controls, KeySlot::MoveRight), 39);
    EXPECT_EQ(slot(controls, KeySlot::Select), 13);
    EXPECT_EQ(slot(controls, KeySlot::ToggleRightOverlay), 9);
    EXPECT_NE(slot(controls, KeySlot::Use), 0);
}

TEST(KeyBindings, TwoNamesMayShareOneKey) {
    const Controls controls = controlsFrom("cUse = E\ncLoad = e\ncSelect = 69\n");
    EXPECT_EQ(slot(controls, KeySlot::Use), 69);
    EXPECT_EQ(slot(controls, KeySlot::Load), 69);
    EXPECT_EQ(slot(controls, KeySlot::Select), 69);
}

TEST(KeyBindings, PointingIsOnOrOffAndTakesNoKey) {
    ConfigFile on;
    ConfigFile yes;
    on.parse("pointing =\tON \n");
    yes.parse("pointing = yes\n");
    EXPECT_TRUE(pointingOn(on) && !pointingOn(yes) && !pointingOn(ConfigFile{}));
    EXPECT_EQ(controlsFrom("pointing = on\n").keys(), controlsFrom("").keys());
}
