// A byte buffer of fixed capacity, allocated once: the terminal's output for one frame is built
// here without touching the heap.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace platform::ansi {

class ByteBuffer {
public:
    explicit ByteBuffer(std::size_t capacity)
        : data_(std::make_unique<char[]>(capacity)), capacity_(capacity) {}

    void append(std::string_view bytes) {
        if (bytes.size() > capacity_ - size_) {
            overflowed_ = true;
            return;
        }
        for (const char c : bytes) {
            data_[size_++] = c;
        }
    }
    void push(char c) {
        if (size_ == capacity_) {
            overflowed_ = true;
            return;
        }
        data_[size_++] = c;
    }
    // Appends a non-negative number in decimal.
    void appendNumber(int value) {
        char digits[12];
        int n = 0;
        unsigned v = value < 0 ? 0U : static_cast<unsigned>(value);
        do {
            digits[n++] = static_cast<char>('0' + v % 10);
            v /= 10;
        } while (v != 0);
        while (n > 0) {
            push(digits[--n]);
        }
    }

    void clear() {
        size_ = 0;
        overflowed_ = false;
    }
    std::string_view view() const { return {data_.get(), size_}; }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }
    bool empty() const { return size_ == 0; }
    // True when an append did not fit since the last clear(); the content is then incomplete.
    bool overflowed() const { return overflowed_; }

private:
    std::unique_ptr<char[]> data_;
    std::size_t capacity_;
    std::size_t size_ = 0;
    bool overflowed_ = false;
};

} // namespace platform::ansi
