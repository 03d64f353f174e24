#include "payload/image_inflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <string>

#include "common/text.h"
#include "payload/sha256.h"

namespace koravale {
namespace {

class Inflater {
public:
    Inflater() { ok_ = inflateInit(&stream_) == Z_OK; }
    ~Inflater() {
        if (ok_) inflateEnd(&stream_);
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    bool ok() const { return ok_; }
    z_stream& stream() { return stream_; }

private:
    z_stream stream_{};
    bool ok_ = false;
};

SetupError unpack_failed() { return SetupError{std::string(UNPACK_FAILED_MESSAGE)}; }

uInt clamp_to_uint(std::size_t size) { return static_cast<uInt>(std::min<std::size_t>(size, UINT_MAX)); }

// The length the doubling reaches before an image of the expected size
// fits, so the block is taken once and never moved while being filled
// (moved pages cost a fault each on their next read). A size far beyond any
// image is no reason to ask for the memory up front.
std::size_t capacity_for(std::size_t start, std::uint64_t expected_size) {
    constexpr std::uint64_t LARGEST_RESERVED = 1ull << 30;
    if (expected_size == 0 || expected_size > LARGEST_RESERVED) return start;
    std::size_t capacity = start;
    while (capacity <= expected_size) capacity *= 2;
    return capacity;
}

}  // namespace

std::uint64_t parse_image_size(std::string_view text) {
    return parse_decimal(text, UINT64_MAX).value_or(0);
}

Result<ImageBytes> inflate_zlib_stream(std::span<const std::uint8_t> compressed, std::uint64_t expected_size) {
    Inflater inflater;
    if (!inflater.ok()) return unpack_failed();
    z_stream& stream = inflater.stream();

    // Twice the compressed length to start, doubled whenever it fills up.
    const std::size_t start = std::max<std::size_t>(2 * compressed.size(), 1);
    ImageBytes image;
    image.reserve(capacity_for(start, expected_size));
    image.resize(start);
    std::size_t produced = 0;
    std::size_t consumed = 0;
    for (;;) {
        if (produced == image.size()) image.resize(image.size() * 2);
        stream.next_in = const_cast<Bytef*>(compressed.data() + consumed);
        stream.avail_in = clamp_to_uint(compressed.size() - consumed);
        stream.next_out = image.data() + produced;
        stream.avail_out = clamp_to_uint(image.size() - produced);
        const uInt in_before = stream.avail_in;
        const uInt out_before = stream.avail_out;

        const int status = inflate(&stream, Z_NO_FLUSH);
        consumed += in_before - stream.avail_in;
        produced += out_before - stream.avail_out;

        if (status == Z_STREAM_END) break;  // zlib has compared the Adler-32 by now
        if (status == Z_OK) continue;
        // No progress: fine only when the output is full; otherwise the input
        // ran out before the end of the stream.
        if (status == Z_BUF_ERROR && stream.avail_out == 0) continue;
        return unpack_failed();
    }
    image.resize(produced);
    return image;
}

Result<ImageBytes> extract_image(std::span<const std::uint8_t> compressed,
                                                std::uint64_t expected_size, std::string_view digest_text) {
    if (expected_size == 0) return SetupError{std::string(PAYLOAD_MISSING_MESSAGE)};
    Result<ImageBytes> image = inflate_zlib_stream(compressed, expected_size);
    if (!image) return image;
    if (image->size() != expected_size) {
        return SetupError{image_size_mismatch_text(expected_size, image->size())};
    }
    if (!ascii_iequals(sha256_hex(*image), digest_text)) return SetupError{std::string(INTEGRITY_FAILED_MESSAGE)};
    return image;
}

}  // namespace koravale
