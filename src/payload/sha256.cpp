#include "payload/sha256.h"

#include <algorithm>

#include <cstring>

namespace koravale {
namespace {


constexpr std::array<std::uint32_t, 8> INITIAL_STATE = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
};

constexpr std::uint32_t rotr(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

std::uint32_t load_be32(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

void compress_block(std::uint32_t state[8], const std::uint8_t* block) {
    std::uint32_t w[64];
    for (int i = 0; i < 16; ++i) w[i] = load_be32(block + 4 * i);
    for (int i = 16; i < 64; ++i) {
        const std::uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const std::uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
    for (int i = 0; i < 64; ++i) {
        const std::uint32_t t1 = h + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) +
                                 SHA256_ROUND_CONSTANTS[i] + w[i];
        const std::uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g, g = f, f = e, e = d + t1, d = c, c = b, b = a, a = t1 + t2;
    }
    state[0] += a, state[1] += b, state[2] += c, state[3] += d;
    state[4] += e, state[5] += f, state[6] += g, state[7] += h;
}

}  // namespace

void sha256_blocks_portable(std::uint32_t state[8], const std::uint8_t* blocks, std::size_t count) {
    for (; count > 0; --count, blocks += 64) compress_block(state, blocks);
}

Sha256::Sha256() : Sha256(sha256_blocks_best()) {}

Sha256::Sha256(Sha256BlockFunction compress_blocks) : state_(INITIAL_STATE), compress_blocks_(compress_blocks) {}

void Sha256::update(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return;  // an empty span may carry no pointer at all
    total_bytes_ += bytes.size();
    if (pending_size_ > 0) {
        const std::size_t take = std::min(bytes.size(), pending_.size() - pending_size_);
        std::memcpy(pending_.data() + pending_size_, bytes.data(), take);
        pending_size_ += take;
        bytes = bytes.subspan(take);
        if (pending_size_ < pending_.size()) return;
        compress_blocks_(state_.data(), pending_.data(), 1);
        pending_size_ = 0;
    }
    const std::size_t whole_blocks = bytes.size() / 64;
    if (whole_blocks > 0) {
        compress_blocks_(state_.data(), bytes.data(), whole_blocks);
        bytes = bytes.subspan(whole_blocks * 64);
    }
    std::memcpy(pending_.data(), bytes.data(), bytes.size());
    pending_size_ = bytes.size();
}

std::array<std::uint8_t, 32> Sha256::finish() {
    const std::uint64_t bit_length = total_bytes_ * 8;
    std::uint8_t padding[72] = {0x80};
    // One 0x80, zeros up to 56 mod 64, then the 64-bit big-endian bit length.
    const std::size_t zeros_end = pending_size_ < 56 ? 56 - pending_size_ : 120 - pending_size_;
    for (int i = 0; i < 8; ++i) padding[zeros_end + i] = static_cast<std::uint8_t>(bit_length >> (56 - 8 * i));
    update({padding, zeros_end + 8});

    std::array<std::uint8_t, 32> digest;
    for (int i = 0; i < 8; ++i) {
        for (int j = 0; j < 4; ++j) digest[4 * i + j] = static_cast<std::uint8_t>(state_[i] >> (24 - 8 * j));
    }
    return digest;
}

std::string sha256_hex(std::span<const std::uint8_t> bytes) {
    Sha256 hash;
    hash.update(bytes);
    static constexpr char HEX[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t byte : hash.finish()) {
        text += HEX[byte >> 4];
        text += HEX[byte & 0x0F];
    }
    return text;
}

}  // namespace koravale
