#include "payload/image_inflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "payload/sha256.h"

namespace koravale {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes compress(const Bytes& image) {
    uLongf length = compressBound(image.size());
    Bytes stream(length);
    EXPECT_EQ(compress2(stream.data(), &length, image.data(), image.size(), 9), Z_OK);
    stream.resize(length);
    return stream;
}

Bytes random_image(std::size_t size) {
    std::mt19937 random(7);
    Bytes image(size);
    for (auto& byte : image) byte = static_cast<std::uint8_t>(random() % 40);  // compresses somewhat
    return image;
}

class ExtractImage : public testing::Test {
protected:
    const Bytes image_ = random_image(100000);
    const Bytes stream_ = compress(image_);
    const std::string digest_ = sha256_hex(image_);

    std::string failure(const Bytes& stream, std::uint64_t size, std::string_view digest) const {
        const auto result = extract_image(stream, size, digest);
        return result.ok() ? "<success>" : result.error().message;
    }
};

TEST_F(ExtractImage, GivesBackTheExactImage) {
    ASSERT_EQ(stream_[0], 0x78);
    ASSERT_EQ(stream_[1], 0xDA);
    const auto result = extract_image(stream_, image_.size(), digest_);
    ASSERT_TRUE(result.ok()) << result.error().message;
    EXPECT_EQ(Bytes(result->begin(), result->end()), image_);
}

TEST_F(ExtractImage, ZeroSizeMeansNoPayloadEvenWithAnIntactStream) {
    EXPECT_EQ(failure(stream_, 0, digest_), "安装包内部程序载荷缺失");
    EXPECT_EQ(failure({}, 0, digest_), "安装包内部程序载荷缺失");
}

TEST_F(ExtractImage, DamagedStreamsFailToUnpackBeforeAnySizeOrDigestCheck) {
    const std::string unpack = "安装包解压失败，文件可能已损坏";
    for (std::size_t at : {std::size_t{10}, stream_.size() / 2, stream_.size() - 6}) {
        Bytes flipped = stream_;
        flipped[at] ^= 0x01;
        EXPECT_EQ(failure(flipped, image_.size(), digest_), unpack) << "byte " << at;
    }
    Bytes adler = stream_;
    adler.back() ^= 0xFF;
    EXPECT_EQ(failure(adler, image_.size(), digest_), unpack);
    const Bytes truncated(stream_.begin(), stream_.end() - 1);
    EXPECT_EQ(failure(truncated, image_.size(), digest_), unpack);
    EXPECT_EQ(failure({}, image_.size(), digest_), unpack);
    Bytes bad_check = stream_;
    bad_check[1] = 0xDB;  // (CMF*256 + FLG) no longer divisible by 31
    EXPECT_EQ(failure(bad_check, image_.size(), digest_), unpack);
    Bytes dictionary = stream_;
    dictionary[1] = 0xF9;  // FDICT set, check bits still valid: 0x78F9 % 31 == 0
    ASSERT_EQ((0x78 * 256 + 0xF9) % 31, 0);
    EXPECT_EQ(failure(dictionary, image_.size(), digest_), unpack);
    Bytes big_window = stream_;
    big_window[0] = 0x88;  // 64 KiB window
    big_window[1] = static_cast<std::uint8_t>(0xDA - (0x88DA % 31));
    EXPECT_EQ(failure(big_window, image_.size(), digest_), unpack);
}

TEST_F(ExtractImage, BytesAfterTheStreamAreIgnored) {
    Bytes padded = stream_;
    padded.insert(padded.end(), {0xDE, 0xAD, 0xBE, 0xEF, 0x00});
    EXPECT_EQ(failure(padded, image_.size(), digest_), "<success>");
    Bytes second_stream = stream_;
    const Bytes other = compress(Bytes(10, 1));
    second_stream.insert(second_stream.end(), other.begin(), other.end());
    EXPECT_EQ(failure(second_stream, image_.size(), digest_), "<success>");
}

TEST_F(ExtractImage, WrongSizeNamesBothNumbers) {
    EXPECT_EQ(failure(stream_, 7969280, digest_), "程序大小校验失败（期望 7969280，实际 100000）");
    EXPECT_EQ(failure(stream_, 99999, digest_), "程序大小校验失败（期望 99999，实际 100000）");
}

TEST_F(ExtractImage, DigestMatchesInAnyCaseButOnlyWhole) {
    std::string upper = digest_;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(failure(stream_, image_.size(), upper), "<success>");

    const std::string integrity = "程序完整性校验（SHA-256）失败，已中止安装";
    EXPECT_EQ(failure(stream_, image_.size(), sha256_hex(Bytes(5, 0))), integrity);  // stale
    EXPECT_EQ(failure(stream_, image_.size(), " " + digest_ + " "), integrity);
    EXPECT_EQ(failure(stream_, image_.size(), digest_.substr(0, 63)), integrity);
    EXPECT_EQ(failure(stream_, image_.size(), ""), integrity);
}

TEST(InflateZlibStream, GrowsForImagesManyTimesTheirCompressedSize) {
    const Bytes zeros(5'000'000, 0);  // about a thousand times its stream
    const Bytes stream = compress(zeros);
    ASSERT_LT(stream.size() * 100, zeros.size());
    const auto result = extract_image(stream, zeros.size(), sha256_hex(zeros));
    ASSERT_TRUE(result.ok()) << result.error().message;
    EXPECT_EQ(Bytes(result->begin(), result->end()), zeros);
}

struct SizeCase {
    const char* text;
    std::uint64_t value;
};

class ParseImageSize : public testing::TestWithParam<SizeCase> {};

TEST_P(ParseImageSize, AcceptsOnlyPlainDecimals) { EXPECT_EQ(parse_image_size(GetParam().text), GetParam().value); }

INSTANTIATE_TEST_SUITE_P(Table, ParseImageSize,
                         testing::Values(SizeCase{"7969280", 7969280}, SizeCase{"+7969280", 7969280},
                                         SizeCase{"007", 7}, SizeCase{"18446744073709551615", UINT64_MAX},
                                         SizeCase{"18446744073709551616", 0}, SizeCase{"", 0}, SizeCase{"+", 0},
                                         SizeCase{"++1", 0}, SizeCase{"-1", 0}, SizeCase{"12a", 0},
                                         SizeCase{" 12", 0}, SizeCase{"0x10", 0},
                                         SizeCase{"99999999999999999999999", 0}));

}  // namespace
}  // namespace koravale
