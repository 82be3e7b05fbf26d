#include "platform/ScreenModel.h"

#include <gtest/gtest.h>

TEST(ScreenModel, StartsBlank) {
    platform::ScreenModel m;
    EXPECT_EQ(m.cell(0, 0).ch, ' ');
}
