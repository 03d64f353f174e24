#include "payload/image_bytes.h"

#include <cstdlib>
#include <utility>

namespace koravale {

ImageBytes::ImageBytes(std::size_t size) { resize(size); }

ImageBytes::ImageBytes(ImageBytes&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

ImageBytes& ImageBytes::operator=(ImageBytes&& other) noexcept {
    if (this != &other) {
        std::free(data_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

ImageBytes::~ImageBytes() { std::free(data_); }

void ImageBytes::reserve(std::size_t capacity) {
    if (capacity <= capacity_) return;
    void* grown = std::realloc(data_, capacity);
    if (!grown) std::abort();
    data_ = static_cast<std::uint8_t*>(grown);
    capacity_ = capacity;
}

void ImageBytes::resize(std::size_t size) {
    reserve(size);
    size_ = size;
}

}  // namespace koravale
