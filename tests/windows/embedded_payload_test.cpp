// The image the test programs take from the build folder, as the setup
// program carries it: inflated and verified on Windows.

#include <gtest/gtest.h>

#include "payload/embedded_payload.h"
#include "payload/sha256.h"
#include "support/test_support.h"

namespace koravale {
namespace {

using namespace testing_support;

TEST(EmbeddedPayload, IsTheSampleApplicationByteForByte) {
    const std::string application = read_file(build_file("KORAVALE_SAMPLE_EXE"));
    ASSERT_FALSE(application.empty());
    const std::span<const std::uint8_t> stream = compressed_image();
    ASSERT_GE(stream.size(), 2u);
    EXPECT_EQ(stream[0], 0x78);
    EXPECT_EQ(stream[1], 0xDA);
    EXPECT_EQ(expected_image_size(), application.size());

    const auto image = extract_application_image(expected_image_size());
    ASSERT_TRUE(image.ok()) << image.error().message;
    EXPECT_TRUE(std::string(image->begin(), image->end()) == application);
    EXPECT_EQ(sha256_hex(*image), image_digest_text());
}

TEST(EmbeddedPayload, RefusesAnyOtherSize) {
    const auto image = extract_application_image(expected_image_size() + 1);
    ASSERT_FALSE(image.ok());
    EXPECT_EQ(image.error().message, "程序大小校验失败（期望 " + std::to_string(expected_image_size() + 1) +
                                         "，实际 " + std::to_string(expected_image_size()) + "）");
}

}  // namespace
}  // namespace koravale
