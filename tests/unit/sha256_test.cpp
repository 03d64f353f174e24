#include "payload/sha256.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace koravale {
namespace {

std::vector<std::uint8_t> bytes_of(std::string_view text) { return {text.begin(), text.end()}; }

// Bytes (7i + 3) mod 256: lengths around the padding boundaries.
std::vector<std::uint8_t> pattern(std::size_t length) {
    std::vector<std::uint8_t> bytes(length);
    for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return bytes;
}

std::string hex(const std::array<std::uint8_t, 32>& digest) {
    std::string text;
    for (std::uint8_t byte : digest) text += "0123456789abcdef"[byte >> 4], text += "0123456789abcdef"[byte & 15];
    return text;
}

std::string digest_with(Sha256BlockFunction engine, std::span<const std::uint8_t> message) {
    Sha256 hash(engine);
    hash.update(message);
    return hex(hash.finish());
}

struct DigestCase {
    const char* name;
    std::vector<std::uint8_t> message;
    const char* digest;
};

class Sha256Vectors : public testing::TestWithParam<DigestCase> {};

TEST_P(Sha256Vectors, MatchesTheStandardOnEveryEngine) {
    EXPECT_EQ(sha256_hex(GetParam().message), GetParam().digest);
    EXPECT_EQ(digest_with(sha256_blocks_portable, GetParam().message), GetParam().digest);
    if (const Sha256BlockFunction accelerated = sha256_blocks_accelerated()) {
        EXPECT_EQ(digest_with(accelerated, GetParam().message), GetParam().digest);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fips180, Sha256Vectors,
    testing::Values(
        DigestCase{"empty", {}, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        DigestCase{"abc", bytes_of("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        DigestCase{"bits448", bytes_of("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
                   "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        DigestCase{"bits896",
                   bytes_of("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlm"
                            "nopqrsmnopqrstnopqrstu"),
                   "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        DigestCase{"million_a", std::vector<std::uint8_t>(1000000, 'a'),
                   "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        DigestCase{"length55", pattern(55), "e7313d333c272e639f790978283f9eb392e843d0f29b7016828bb1daa4aac70b"},
        DigestCase{"length56", pattern(56), "4324d65f3c103567f5589c710bc08f8523f929a9272e3af36fc968e52abc6c27"},
        DigestCase{"length63", pattern(63), "81c80242132f230c3bd41b3e63bbcff16107339549214a99614ff26664625055"},
        DigestCase{"length64", pattern(64), "39e3d7b6b5d075d37d053ad89b24b41bef4f3c29760c84447cab3f3be1882241"},
        DigestCase{"length65", pattern(65), "aacca6ff74fdbb296d165a45cecfa04e5127bc008770fbbdd48006f2d2fae95e"}),
    [](const testing::TestParamInfo<DigestCase>& info) { return info.param.name; });

TEST(Sha256, PiecesInAnySizesGiveTheDigestOfTheWhole) {
    std::mt19937 random(20261209);
    for (int round = 0; round < 50; ++round) {
        std::vector<std::uint8_t> message(random() % 5000);
        for (auto& byte : message) byte = static_cast<std::uint8_t>(random());
        Sha256 hash;
        for (std::size_t at = 0; at < message.size();) {
            const std::size_t piece = std::min<std::size_t>(random() % 130, message.size() - at);
            hash.update({message.data() + at, piece});
            at += piece;
        }
        EXPECT_EQ(hex(hash.finish()), sha256_hex(message)) << "length " << message.size();
    }
}

TEST(Sha256, ExtensionsAgreeWithThePortableRoutineOnRandomData) {
    const Sha256BlockFunction accelerated = sha256_blocks_accelerated();
    if (!accelerated) GTEST_SKIP() << "this CPU has no SHA extensions";
    std::mt19937_64 random(4096);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::uint8_t> message(random() % 20000);
        for (auto& byte : message) byte = static_cast<std::uint8_t>(random());
        EXPECT_EQ(digest_with(accelerated, message), digest_with(sha256_blocks_portable, message))
            << "length " << message.size();
    }
}

}  // namespace
}  // namespace koravale
