#pragma once
// The application image this setup program carries, fixed when it was built.

#include <cstdint>
#include <span>
#include <string_view>

#include "common/result.h"
#include "payload/image_bytes.h"

namespace koravale {

std::span<const std::uint8_t> compressed_image();
std::string_view image_size_text();
std::string_view image_digest_text();

// The embedded size text parsed; 0 when it does not parse.
std::uint64_t expected_image_size();

// The embedded image inflated and verified against the expected size and
// the embedded digest.
Result<ImageBytes> extract_application_image(std::uint64_t expected_size);

}  // namespace koravale
