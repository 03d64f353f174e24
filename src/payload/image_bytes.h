#pragma once
// The inflated application image: one heap block that grows in place where
// the allocator can (realloc), so doubling it never needs the old and the new
// buffer at once and an extraction peaks near the final buffer's size.

#include <cstddef>
#include <cstdint>
#include <span>

namespace koravale {

class ImageBytes {
public:
    ImageBytes() = default;
    explicit ImageBytes(std::size_t size);
    ImageBytes(ImageBytes&& other) noexcept;
    ImageBytes& operator=(ImageBytes&& other) noexcept;
    ImageBytes(const ImageBytes&) = delete;
    ImageBytes& operator=(const ImageBytes&) = delete;
    ~ImageBytes();

    // Keeps the first min(size, new size) bytes. Growing may move the block;
    // shrinking never does, so the bytes stay where they were written. The
    // process ends when memory runs out, as it would for any other allocation.
    void resize(std::size_t size);
    // Sets aside room for `capacity` bytes now, so that growing up to it
    // never moves the block.
    void reserve(std::size_t capacity);

    std::uint8_t* data() { return data_; }
    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    const std::uint8_t* begin() const { return data_; }
    const std::uint8_t* end() const { return data_ + size_; }
    std::span<const std::uint8_t> bytes() const { return {data_, size_}; }
    operator std::span<const std::uint8_t>() const { return bytes(); }

private:
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace koravale
