// The keyboard rule and the clock of the Win32 back end.
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32Keyboard.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

using platform::win32::fileTimeToUnixMs;
using platform::win32::keyStateIsDown;

TEST(Win32Clock, FileTimesCountFrom1601InTenthsOfMicroseconds) {
    EXPECT_EQ(fileTimeToUnixMs(116444736000000000ULL), 0);
    // 2000-01-01 00:00:00 UTC.
    EXPECT_EQ(fileTimeToUnixMs(125911584000000000ULL), 946684800000LL);
    // 2012-06-30 12:34:56.789 UTC, with the sub-millisecond part dropped.
    EXPECT_EQ(fileTimeToUnixMs(129855332967891234ULL), 1341059696789LL);
    // Before 1970 the count is negative.
    EXPECT_EQ(fileTimeToUnixMs(116444735990000000ULL), -1000);
}

TEST(Win32Clock, AgreesWithTheCRuntime) {
    platform::win32::Win32Clock clock;
    const std::int64_t before = static_cast<std::int64_t>(std::time(nullptr));
    const std::int64_t now = clock.nowMs();
    const std::int64_t after = static_cast<std::int64_t>(std::time(nullptr));
    EXPECT_GE(now / 1000, before - 1);
    EXPECT_LE(now / 1000, after + 1);

    const platform::LocalTime local = clock.localTime();
    EXPECT_GE(local.hour, 0);
    EXPECT_LE(local.hour, 23);
    EXPECT_GE(local.minute, 0);
    EXPECT_LE(local.minute, 59);
    EXPECT_GE(local.second, 0);
    EXPECT_LE(local.second, 59);
}

TEST(Win32Keyboard, DownWhenAnyUpperBitIsSet) {
    EXPECT_TRUE(keyStateIsDown(0x8000));
    EXPECT_TRUE(keyStateIsDown(0x8001));
    EXPECT_TRUE(keyStateIsDown(0x0100));
    EXPECT_TRUE(keyStateIsDown(0xFF00));
    // The low bit only says the key went down since an earlier call.
    EXPECT_FALSE(keyStateIsDown(0x0001));
    EXPECT_FALSE(keyStateIsDown(0x00FF));
    EXPECT_FALSE(keyStateIsDown(0x0000));
}

TEST(Win32Keyboard, CodesOutsideTheTableAreNeverDown) {
    platform::win32::Win32Keyboard keyboard;
    EXPECT_FALSE(keyboard.isDown(0));
    EXPECT_FALSE(keyboard.isDown(-1));
    EXPECT_FALSE(keyboard.isDown(256));
    EXPECT_FALSE(keyboard.isDown(0x10000 + 'A'));
}

} // namespace
