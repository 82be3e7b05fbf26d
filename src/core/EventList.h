// The events of one frame, in the order they happened: a list of fixed size that never allocates.
// The rules that record a frame (the world, the menu) add to it and clear it as a frame starts;
// views and speech only read it.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>

template <typename Event, std::size_t Capacity> class EventList {
public:
    void add(const Event& event) {
        // Should a frame ever hold more than its rules can record, the newest takes the last place
        // rather than writing past the list.
        count_ = std::min(count_ + 1, events_.size());
        events_[count_ - 1] = event;
    }
    void clear() { count_ = 0; }
    std::span<const Event> all() const { return {events_.data(), count_}; }

private:
    std::array<Event, Capacity> events_{};
    std::size_t count_ = 0;
};
