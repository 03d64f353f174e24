#!/usr/bin/env python3
"""Prints the setup program's release figures: its size, the size of the
stub (the program without its compressed image), the image's compressed
and inflated sizes and the program's SHA-256.

    setup-figures.py SETUP_EXE PAYLOAD_ZLIB [--max-stub-bytes N]

With --max-stub-bytes it fails when the stub is larger, or when the
compressed image is not inside the program (a linker that dropped it would
make the stub look small).
"""
import argparse
import hashlib
import sys
import zlib


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("setup_exe")
    parser.add_argument("payload_zlib")
    parser.add_argument("--max-stub-bytes", type=int)
    args = parser.parse_args()

    program = open(args.setup_exe, "rb").read()
    stream = open(args.payload_zlib, "rb").read()
    inflated = len(zlib.decompress(stream))
    stub = len(program) - len(stream)
    print(f"KoraValeSetup: {len(program)} bytes, SHA-256 {hashlib.sha256(program).hexdigest()}")
    print(f"KoraValeSetup: stub {stub} bytes ({stub / 1024:.1f} KiB), "
          f"image {len(stream)} bytes compressed, {inflated} bytes inflated")

    if args.max_stub_bytes is None:
        return 0
    status = 0
    if program.find(stream) < 0:
        print("KoraValeSetup: the compressed image is not inside the program")
        status = 1
    if stub > args.max_stub_bytes:
        print(f"KoraValeSetup: the stub is {stub - args.max_stub_bytes} bytes over its limit of "
              f"{args.max_stub_bytes} bytes")
        status = 1
    return status


if __name__ == "__main__":
    sys.exit(main())
