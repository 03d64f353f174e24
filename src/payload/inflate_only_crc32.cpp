// Linked into the setup program only, ahead of zlib. zlib's inflater names
// crc32 for gzip streams, and with it come 12 KB of CRC tables; the image
// is a zlib stream, checked with Adler-32, so none of them is ever used.
// This table-free CRC-32 stands in, correct for any caller all the same.

#include <zlib.h>

extern "C" uLong ZEXPORT crc32(uLong crc, const Bytef* buf, uInt len) {
    if (buf == Z_NULL) return 0;
    crc = ~crc & 0xFFFFFFFFu;
    while (len-- > 0) {
        crc ^= *buf++;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc & 0xFFFFFFFFu;
}
