// The image the install sequence extracts, for the test programs that run
// it: the stream the build packed, read from the build folder when first
// asked for, with the size and digest of the application it was packed
// from. The setup program alone links the real image, so that packing
// another one relinks nothing else.

#include <string>

#include "payload/embedded_payload.h"
#include "payload/image_inflate.h"
#include "payload/sha256.h"
#include "support/test_support.h"

namespace koravale {
namespace {

std::span<const std::uint8_t> bytes_of(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

const std::string& packed_stream() {
    static const std::string stream = testing_support::read_file(testing_support::build_file("KORAVALE_PAYLOAD_ZLIB"));
    return stream;
}

const std::string& application() {
    static const std::string bytes = testing_support::read_file(testing_support::build_file("KORAVALE_SAMPLE_EXE"));
    return bytes;
}

}  // namespace

std::span<const std::uint8_t> compressed_image() { return bytes_of(packed_stream()); }

std::string_view image_size_text() {
    static const std::string size = std::to_string(application().size());
    return size;
}

std::string_view image_digest_text() {
    static const std::string digest = sha256_hex(bytes_of(application()));
    return digest;
}

std::uint64_t expected_image_size() { return parse_image_size(image_size_text()); }

Result<ImageBytes> extract_application_image(std::uint64_t expected_size) {
    return extract_image(compressed_image(), expected_size, image_digest_text());
}

}  // namespace koravale
