// Mutated zlib streams given to the extraction of a known image: it either
// returns exactly that image or fails with one of its four messages, and it
// agrees with zlib's own streaming inflate on whether the stream is whole.

#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "payload/image_inflate.h"
#include "payload/sha256.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

// The image the corpus streams were packed from (tests/fuzz/make-inflate-corpus.py).
std::vector<std::uint8_t> reference_image() {
    std::vector<std::uint8_t> image(3000);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>((i * 7) ^ (i >> 3));
    return image;
}

// The inflated length by zlib itself, none when the stream is not whole.
std::optional<std::size_t> zlib_inflated_length(std::span<const std::uint8_t> stream) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) std::abort();
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    std::uint8_t scratch[65536];
    std::size_t length = 0;
    int status = Z_OK;
    do {
        z.next_out = scratch;
        z.avail_out = sizeof scratch;
        status = inflate(&z, Z_NO_FLUSH);
        length += sizeof scratch - z.avail_out;
    } while (status == Z_OK);
    inflateEnd(&z);
    if (status != Z_STREAM_END) return std::nullopt;
    return length;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace koravale;
    static const std::vector<std::uint8_t> image = reference_image();
    static const std::string digest = sha256_hex(image);
    static std::string upper_digest = [] {
        std::string text = digest;
        std::transform(text.begin(), text.end(), text.begin(), [](char c) { return c >= 'a' ? c - 32 : c; });
        return text;
    }();
    const std::span<const std::uint8_t> stream(data, size);

    const Result<ImageBytes> missing = extract_image(stream, 0, digest);
    require(!missing.ok() && missing.error().message == PAYLOAD_MISSING_MESSAGE);

    const std::optional<std::size_t> length = zlib_inflated_length(stream);
    const Result<ImageBytes> inflated = inflate_zlib_stream(stream);
    require(inflated.ok() == length.has_value());
    if (inflated.ok()) require(inflated.value().size() == *length);

    // A digest in capitals is the same digest.
    const std::string& digest_text = size % 2 ? upper_digest : digest;
    const Result<ImageBytes> extracted = extract_image(stream, image.size(), digest_text);
    if (!length) {
        require(!extracted.ok() && extracted.error().message == UNPACK_FAILED_MESSAGE);
    } else if (*length != image.size()) {
        require(!extracted.ok() && extracted.error().message == "程序大小校验失败（期望 " + std::to_string(image.size()) +
                                                                 "，实际 " + std::to_string(*length) + "）");
    } else if (!std::equal(image.begin(), image.end(), inflated.value().begin())) {
        require(!extracted.ok() && extracted.error().message == INTEGRITY_FAILED_MESSAGE);
    } else {
        require(extracted.ok() && std::equal(image.begin(), image.end(), extracted.value().begin(),
                                             extracted.value().end()));
    }
    return 0;
}
