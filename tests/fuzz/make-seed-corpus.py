#!/usr/bin/env python3
"""Writes the hand-made seeds of the command-line and inflate fuzz targets
into corpus/<target>/seed-*; the fuzzer's own finds sit beside them.

    make-seed-corpus.py
"""
import os
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# The image of image_inflate_fuzz.cpp's reference_image().
image = bytes(((i * 7) ^ (i >> 3)) & 0xFF for i in range(3000))
other = bytes(range(256)) * 12
streams = {
    "level-9": zlib.compress(image, 9),
    "level-1": zlib.compress(image, 1),
    "stored": zlib.compress(image, 0),
    "trailing-bytes": zlib.compress(image, 6) + b"KoraVale",
    "truncated": zlib.compress(image, 9)[:-5],
    "bad-adler": zlib.compress(image, 9)[:-1] + b"\x00",
    "other-image": zlib.compress(other, 9),
    "same-length-other-bytes": zlib.compress(bytes(3000), 9),
    "empty": b"",
}
for name, data in streams.items():
    write("image_inflate", "seed-" + name, data)

command_lines = {
    "silent": '"C:\\Downloads\\KoraValeSetup.exe" /S',
    "uninstall": 'uninstall.exe --Uninstall /SILENT --purge-data',
    "dir-quoted": '"C:\\a b\\setup.exe"  --dir "D:\\My Apps\\KoraVale" /s',
    "dir-escaped-quote": 'setup.exe --dir "D:\\Apps\\" /s',
    "dir-attached": 'setup.exe --dir=D:\\Apps\\KoraVale /D=E:\\x /Dir=F:\\y "/d" "  "',
    "wait-pid": 'setup.exe --wait-pid +42 --wait-pid 4294967296 --wait-pid 007 --relaunch',
    "quotes": 'a"b c"d e\\\\"f g""h"" ""\t"" \\\\\\"x',
    "dir-last": 'setup.exe /S --dir',
}
for name, line in command_lines.items():
    write("command_line", "seed-" + name, line.encode("utf-16-le"))
write("command_line", "seed-unpaired-surrogate", 'setup.exe --dir '.encode("utf-16-le") + b"\x00\xd8")

argument_lists = {
    "every-switch": ["--uninstall", "/S", "/silent", "--relaunch", "/purge-data", "/Passive", "--wait-pid", "+42", "/d", "D:\\Apps"],
    "dir-attached": ["--dir=D:\\Apps\\KoraVale", "/D=  ", "--Dir=E:\\x", "/DIR= F:\\y "],
    "dir-then-switch": ["--dir", "--silent"],
    "blank-dir": ["/dir", " \t", "--wait-pid", "4294967295", "--wait-pid"],
    "bad-pids": ["--wait-pid", "5", "--wait-pid", "x", "--wait-pid", "12a", "--wait-pid", ""],
    "not-utf8": ["--dir", "\udcff"],
    "log-forms": ["--log", "/S", "/LOG= C:\\x.log ", "--Log=y.log", "/log", " ", "--dir", "D:\\A", "--log"],
}
for name, arguments in argument_lists.items():
    write("setup_options", "seed-" + name, "\n".join(arguments).encode("utf-8", "surrogateescape"))
