// The game's console services on the virtual console.
#include "core/Console.h"
#include "platform/virtual/VirtualConsole.h"

#include <gtest/gtest.h>

namespace {

TEST(Console, SetsItsDeviceUpOnce) {
    platform::VirtualConsole device;
    Console console(device);
    EXPECT_EQ(device.setUpCount(), 1);
    EXPECT_EQ(device.title().rfind("Tharvok (2012) ", 0), 0u) << device.title();
}

TEST(Console, ClearBlanksEveryCellInTheAttributeInForceAndHomesTheCursor) {
    platform::VirtualConsole device;
    Console console(device);
    console.moveCursor(10, 10);
    console.setAttribute(attrDarkRed);
    console.writeText("text");
    console.setAttribute(0x1E);
    console.clear();
    for (const platform::Cell& cell : device.model().cells()) {
        ASSERT_EQ(cell, (platform::Cell{' ', 0x1E}));
    }
    EXPECT_EQ(device.model().cursorX(), 0);
    EXPECT_EQ(device.model().cursorY(), 0);
}

TEST(Console, FormattedWritesAreBoundedAndFileBytesAreGlyphs) {
    platform::VirtualConsole device;
    Console console(device);
    console.print("%02i:%02i", 9, 5);
    console.writeGlyphs("\n\t");
    EXPECT_EQ(device.model().cell(0, 0).ch, '0');
    EXPECT_EQ(device.model().cell(4, 0).ch, '5');
    EXPECT_EQ(device.model().cell(5, 0).ch, '\n');
    EXPECT_EQ(device.model().cell(6, 0).ch, '\t');
    EXPECT_EQ(device.model().cursorY(), 0);
    const std::string longText(1000, 'x');
    console.moveCursor(0, 1);
    console.print("%s", longText.c_str());
    EXPECT_EQ(device.model().cell(79, 1).ch, 'x');
    EXPECT_EQ(device.model().cursorY(), 1);
}

} // namespace
