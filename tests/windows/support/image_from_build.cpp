// The image for the test programs that run the install sequence: the stream
// the build packed, read from the build folder, with the size and digest of
// the application packed. Only the setup program links the real one, so
// that packing another image relinks nothing else.

#include "payload/embedded_payload.h"
#include "payload/image_inflate.h"
#include "payload/sha256.h"
#include "support/test_support.h"

namespace koravale {
namespace {

const std::string& packed() {
    static const std::string bytes = testing_support::read_file(testing_support::build_file("KORAVALE_PAYLOAD_ZLIB"));
    return bytes;
}

const std::string& application() {
    static const std::string bytes = testing_support::read_file(testing_support::build_file("KORAVALE_SAMPLE_EXE"));
    return bytes;
}

std::span<const std::uint8_t> bytes_of(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

std::span<const std::uint8_t> compressed_image() { return bytes_of(packed()); }
std::uint64_t expected_image_size() { return application().size(); }
std::string_view image_digest_text() {
    static const std::string digest = sha256_hex(bytes_of(application()));
    return digest;
}
Result<ImageBytes> extract_application_image(std::uint64_t expected_size) {
    return extract_image(compressed_image(), expected_size, image_digest_text());
}

}  // namespace koravale
