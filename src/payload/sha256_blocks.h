#pragma once
// The SHA-256 compression function over whole 64-byte blocks, in two
// implementations: portable C++, and the x86 SHA extensions where the CPU has them.

#include <cstddef>
#include <cstdint>

namespace koravale {

using Sha256BlockFunction = void (*)(std::uint32_t state[8], const std::uint8_t* blocks, std::size_t count);

void sha256_blocks_portable(std::uint32_t state[8], const std::uint8_t* blocks, std::size_t count);

// Null when this CPU (or this build's target) has no SHA extensions.
Sha256BlockFunction sha256_blocks_accelerated();

// The fastest of the two on this CPU, decided once.
Sha256BlockFunction sha256_blocks_best();

}  // namespace koravale
