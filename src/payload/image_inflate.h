#pragma once
// Turning the embedded zlib stream back into the application's bytes,
// refusing anything that is not exactly the image the build embedded.

#include <cstdint>
#include <span>
#include <string_view>

#include "common/result.h"
#include "payload/image_bytes.h"

namespace koravale {

inline constexpr std::string_view PAYLOAD_MISSING_MESSAGE = "安装包内部程序载荷缺失";
inline constexpr std::string_view UNPACK_FAILED_MESSAGE = "安装包解压失败，文件可能已损坏";
inline constexpr std::string_view INTEGRITY_FAILED_MESSAGE = "程序完整性校验（SHA-256）失败，已中止安装";

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
