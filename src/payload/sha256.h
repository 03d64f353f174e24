#pragma once
// SHA-256 (FIPS 180-4), our own: the setup program verifies the image it
// carries without a crypto library.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "payload/sha256_blocks.h"

namespace koravale {

class Sha256 {
public:
    Sha256();  // the fastest compression this CPU offers
    explicit Sha256(Sha256BlockFunction compress_blocks);
    void update(std::span<const std::uint8_t> bytes);
    std::array<std::uint8_t, 32> finish();

private:
    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> pending_{};
    std::size_t pending_size_ = 0;
    std::uint64_t total_bytes_ = 0;
    Sha256BlockFunction compress_blocks_;
};

// The digest as 64 lowercase hexadecimal characters.
std::string sha256_hex(std::span<const std::uint8_t> bytes);

}  // namespace koravale
