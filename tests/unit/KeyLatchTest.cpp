// The rule every keyboard polls by, as a table: key events between polls, and what each poll
// reads (the keys down / the first key that went down, '-' for none).
#include "platform/KeyLatch.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Steps: "+K" presses K, "-K" releases it, "|" polls, "r" lets every key go (focus lost), "c"
// clears, "?" reads without polling.
std::string play(const std::string& steps) {
    platform::KeyLatch latch;
    std::string reads;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const char step = steps[i];
        if (step == '+' || step == '-') {
            latch.set(steps[++i], step == '+');
            continue;
        }
        if (step == '|') {
            latch.poll();
        } else if (step == 'r') {
            latch.releaseAll();
            continue;
        } else if (step == 'c') {
            latch.clear();
            continue;
        } else if (step != '?') {
            continue;
        }
        if (!reads.empty()) {
            reads += ' ';
        }
        const std::size_t before = reads.size();
        for (const char key : {'A', 'B'}) {
            if (latch.isDown(key)) {
                reads += key;
            }
        }
        if (reads.size() == before) {
            reads += '-';
        }
        reads += '/';
        reads += latch.wentDown() != 0 ? static_cast<char>(latch.wentDown()) : '-';
    }
    return reads;
}

TEST(KeyLatch, ReadsAKeyDownWhileHeldOrOnceAfterATap) {
    const struct {
        const char* steps;
        const char* reads;
    } rows[] = {
        {"+A -A | |", "A/A -/-"},       // a tap between two polls is seen once
        {"+A | | -A |", "A/A A/- -/-"}, // held: down at every poll, went down once
        {"+A | +A -A |", "A/A -/-"},    // a second press of a held key is no new press
        {"+B +A -B |", "AB/B"},         // the first key down is the poll's, though let go
        {"+A r |", "A/A"},              // focus lost: the press still reads once
        {"+A r | |", "A/A -/-"},
        {"+A | c ? +B -B |", "A/A -/A B/B"}, // cleared: nothing reads down until the next poll
    };
    for (const auto& row : rows) {
        EXPECT_EQ(play(row.steps), row.reads) << row.steps;
    }
    platform::KeyLatch latch;
    EXPECT_FALSE(latch.set(0, true));
    EXPECT_FALSE(latch.set(256, true));
    latch.poll();
    EXPECT_EQ(latch.wentDown(), 0);
}

} // namespace
