#include "payload/embedded_payload.h"

#include "payload/image_inflate.h"
#include "payload_constants.h"

// The stream is placed in the program's read-only data, not appended to
// the file, so that signing the program cannot cut it off.
asm(".section .rdata,\"dr\"\n"
    ".balign 16\n"
    ".globl koravale_compressed_image_begin\n"
    "koravale_compressed_image_begin:\n"
    ".incbin \"" KORAVALE_PAYLOAD_FILE "\"\n"
    ".globl koravale_compressed_image_end\n"
    "koravale_compressed_image_end:\n"
    ".text\n");

extern "C" const std::uint8_t koravale_compressed_image_begin[];
extern "C" const std::uint8_t koravale_compressed_image_end[];

namespace koravale {

std::span<const std::uint8_t> compressed_image() {
    return {koravale_compressed_image_begin, koravale_compressed_image_end};
}

std::string_view image_size_text() { return KORAVALE_IMAGE_SIZE_TEXT; }

std::string_view image_digest_text() { return KORAVALE_IMAGE_DIGEST_TEXT; }

std::uint64_t expected_image_size() { return parse_image_size(image_size_text()); }

Result<ImageBytes> extract_application_image(std::uint64_t expected_size) {
    return extract_image(compressed_image(), expected_size, image_digest_text());
}

}  // namespace koravale
