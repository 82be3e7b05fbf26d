#include "posix/KeyStates.h"

#include <algorithm>

namespace platform::posix {

void KeyStates::take(KeyAction action, int vk, std::int64_t nowMs) {
    switch (action) {
    case KeyAction::Stroke:
        stroke(vk, nowMs);
        break;
    case KeyAction::Press:
        press(vk);
        break;
    case KeyAction::Repeat:
        repeat(vk);
        break;
    case KeyAction::Release:
        release(vk);
        break;
    }
}

void KeyStates::press(int vk) {
    if (!valid(vk)) {
        return;
    }
    if (!latch_.down(vk)) {
        noteWentDown(vk);
    }
    latch_.setDown(vk, true);
    latch_.latch(vk);
}

void KeyStates::repeat(int vk) { latch_.setDown(vk, true); }

void KeyStates::release(int vk) {
    if (valid(vk)) {
        latch_.setDown(vk, false);
        keys_[static_cast<std::size_t>(vk)].held = false;
    }
}

void KeyStates::holdKeys(std::span<const std::int32_t> codes) {
    for (Key& key : keys_) {
        key.holds = false;
    }
    for (const std::int32_t code : codes) {
        if (valid(code)) {
            keys_[static_cast<std::size_t>(code)].holds = true;
        }
    }
}

void KeyStates::stroke(int vk, std::int64_t nowMs) {
    if (!valid(vk)) {
        return;
    }
    Key& key = keys_[static_cast<std::size_t>(vk)];
    const std::int64_t gap = key.stroked ? nowMs - key.lastStrokeMs : -1;
    const bool fast = gap >= 0 && gap <= maxRepeatGapMs;
    // The first fast stroke of a run: the gap before it was the terminal's pause before repeating.
    if (fast && !key.repeating && key.lastGapMs > maxRepeatGapMs &&
        key.lastGapMs <= maxRepeatDelayMs) {
        repeatDelayMs_ = std::max(minRepeatDelayMs, key.lastGapMs);
    }
    key.repeating = fast;
    const bool inHold = key.held && gap >= 0 && nowMs <= key.holdUntilMs;
    if (key.holds) {
        if (inHold) {
            // A repeat: the first one after the pause tells nothing of the interval yet.
            key.intervalMs = key.awaitingRepeat    ? 0
                             : key.intervalMs == 0 ? gap
                                                   : (key.intervalMs * 3 + gap) / 4;
            key.awaitingRepeat = false;
            key.holdUntilMs = nowMs + std::max(minHoldMs, key.intervalMs * 5 / 2);
        } else {
            key.held = true;
            key.awaitingRepeat = true;
            latch_.latch(vk);
            key.holdUntilMs = nowMs + repeatDelayMs_ + maxRepeatGapMs;
        }
    } else if (fast || inHold) {
        key.intervalMs = key.held ? (key.intervalMs * 3 + gap) / 4 : gap;
        key.held = true;
        key.holdUntilMs = nowMs + std::max(minHoldMs, key.intervalMs * 5 / 2);
    } else {
        key.held = false;
        latch_.latch(vk);
        noteWentDown(vk);
    }
    key.stroked = true;
    key.lastStrokeMs = nowMs;
    key.lastGapMs = gap;
}

void KeyStates::noteWentDown(int vk) {
    if (!muted_) {
        latch_.noteWentDown(vk);
    }
}

void KeyStates::releaseAll() {
    for (Key& key : keys_) {
        const bool holds = key.holds;
        key = Key{};
        key.holds = holds;
    }
    latch_.clear();
    latch_.forgetFirstDown();
}

void KeyStates::setMuted(bool muted) {
    if (muted_ && !muted) {
        for (std::size_t i = 0; i < keys_.size(); ++i) {
            keys_[i].stale = latch_.down(static_cast<int>(i)) || keys_[i].held;
        }
        latch_.unlatchAll();
    }
    muted_ = muted;
}

void KeyStates::poll(std::int64_t nowMs) {
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        Key& key = keys_[i];
        if (key.held && nowMs > key.holdUntilMs) {
            key.held = false;
        }
        if (key.stale && !latch_.down(static_cast<int>(i)) && !key.held) {
            key.stale = false;
        }
    }
    latch_.poll([this](int vk, bool readsDown) {
        const Key& key = keys_[static_cast<std::size_t>(vk)];
        return !muted_ && !key.stale && (readsDown || key.held);
    });
    if (muted_) {
        latch_.dropWentDown();
    }
}

std::int64_t KeyStates::nextChangeMs(std::int64_t nowMs) const {
    std::int64_t next = -1;
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        const Key& key = keys_[i];
        std::int64_t at = -1;
        const int vk = static_cast<int>(i);
        if (latch_.latched(vk) || (latch_.isDown(vk) && !latch_.down(vk) && !key.held)) {
            at = nowMs;
        } else if (key.held) {
            at = key.holdUntilMs + 1;
        }
        if (at >= 0 && (next < 0 || at < next)) {
            next = at;
        }
    }
    return next;
}

std::int64_t KeyStates::msUntilRelease(std::int64_t nowMs) const {
    std::int64_t soonest = -1;
    for (const Key& key : keys_) {
        if (key.held) {
            const std::int64_t left = std::max<std::int64_t>(0, key.holdUntilMs + 1 - nowMs);
            soonest = soonest < 0 ? left : std::min(soonest, left);
        }
    }
    return soonest;
}

} // namespace platform::posix
