#!/usr/bin/env python3
"""Fails when a PE file carries bytes after its last section (an overlay):
the embedded image must live inside the image's sections, where signing
the program cannot cut it off.   check-no-overlay.py FILE..."""
import struct
import sys

status = 0
for path in sys.argv[1:]:
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    table = pe + 24 + optional_size
    end = max(offset + size for size, offset in
              (struct.unpack_from("<II", data, table + 40 * i + 16) for i in range(sections)))
    print(f"{path}: {sections} sections end at {end}, file is {len(data)} bytes")
    if len(data) != end:
        print(f"{path}: {len(data) - end} bytes after the last section")
        status = 1
sys.exit(status)
