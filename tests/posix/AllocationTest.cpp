// The frame loop's pure parts do not touch the heap: presenting a frame, decoding a read, and
// polling the keys allocate nothing once they are set up.
#include "platform/ScreenModel.h"
#include "platform/ansi/Presenter.h"
#include "platform/posix/KeyDecoder.h"
#include "platform/posix/KeyStates.h"

#include "support/AllocationCount.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::ansi::ByteBuffer;

TEST(FrameLoopAllocations, PresentDecodeAndPollAllocateNothing) {
    platform::ScreenModel model;
    platform::ansi::Presenter presenter;
    ByteBuffer out(platform::ansi::maxPresentBytes);
    platform::posix::KeyDecoder decoder;
    platform::posix::KeyStates keys;
    const long before = static_cast<long>(testsupport::allocationCount());
    {
        const std::string counted(100, 'x'); // the counter sees the heap
        EXPECT_GT(static_cast<long>(testsupport::allocationCount()), before);
    }
    const long start = static_cast<long>(testsupport::allocationCount());
    for (int frame = 0; frame < 200; ++frame) {
        model.setAttribute(static_cast<std::uint16_t>(frame % 16));
        model.fillCharacters(frame % 80, frame % 25, static_cast<std::uint8_t>(frame), 90);
        model.setCursorPosition(frame % 80, frame % 25);
        model.writeGlyphs("\x01\x02\xdb");
        if (frame % 50 == 0) {
            presenter.invalidate();
        }
        out.clear();
        presenter.present(model.cells(), model.cursorX(), model.cursorY(), false, out);
        decoder.feed("a\x1b[1;5A\x1b[<0;3;4M\x1b[99;5u\x1b[1;1:3D\x1b");
        for (const auto& event : decoder.events()) {
            keys.stroke(event.vk, frame);
        }
        keys.poll(frame * 16);
    }
    EXPECT_EQ(static_cast<long>(testsupport::allocationCount()) - start, 0);
    EXPECT_FALSE(out.empty());
}

} // namespace
