#pragma once
// Turning the embedded zlib stream back into the application's bytes,
// refusing anything that is not exactly the image the build embedded.

#include <cstdint>
#include <span>
#include <string_view>

#include "common/result.h"
#include "payload/image_bytes.h"
#include "texts/failure_texts.h"

namespace koravale {


// An optional "+", then decimal digits that fit 64 bits; anything else is 0.
std::uint64_t parse_image_size(std::string_view text);

// One complete zlib stream inflated in memory; bytes after its end are
// ignored. The expected size only decides how much memory is set aside at
// once; the stream alone decides what comes out.
Result<ImageBytes> inflate_zlib_stream(std::span<const std::uint8_t> compressed, std::uint64_t expected_size = 0);

// The checks in their order of precedence: missing payload, unpacking, size, digest.
Result<ImageBytes> extract_image(std::span<const std::uint8_t> compressed,
                                                std::uint64_t expected_size, std::string_view digest_text);

}  // namespace koravale
