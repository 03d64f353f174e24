// The image the build packs into the setup program, inflated and verified
// on Windows as the program does it. The stream is read from the build's
// file rather than linked in, so that packing another image relinks the
// setup program alone; the installs of the end-to-end tests show that the
// program carries this very stream.

#include <gtest/gtest.h>

#include "payload/image_inflate.h"
#include "payload/sha256.h"
#include "support/test_support.h"

namespace koravale {
namespace {

using namespace testing_support;

class PackedImage : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(application_.empty());
        ASSERT_GE(packed_.size(), 2u);
    }
    static std::span<const std::uint8_t> bytes_of(const std::string& text) {
        return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
    }
    std::span<const std::uint8_t> stream() const { return bytes_of(packed_); }
    std::string digest() const { return sha256_hex(bytes_of(application_)); }
    const std::string application_ = read_file(build_file("KORAVALE_SAMPLE_EXE"));
    const std::string packed_ = read_file(build_file("KORAVALE_PAYLOAD_ZLIB"));
};

TEST_F(PackedImage, IsTheSampleApplicationByteForByte) {
    EXPECT_EQ(stream()[0], 0x78);
    EXPECT_EQ(stream()[1], 0xDA);
    const auto image = extract_image(stream(), application_.size(), digest());
    ASSERT_TRUE(image.ok()) << image.error().message;
    EXPECT_TRUE(std::string(image->begin(), image->end()) == application_);
}

TEST_F(PackedImage, RefusesAnyOtherSize) {
    const auto image = extract_image(stream(), application_.size() + 1, digest());
    ASSERT_FALSE(image.ok());
    EXPECT_EQ(image.error().message, "程序大小校验失败（期望 " + std::to_string(application_.size() + 1) +
                                         "，实际 " + std::to_string(application_.size()) + "）");
}

}  // namespace
}  // namespace koravale
