#!/usr/bin/env python3
"""Writes the extraction benchmark's package: about 200 MB of mixed files, many small and a
few large, stored and deflated, always the same bytes (fixed seed).
    make_package.py OUT.zip [MEGABYTES]"""
import random
import sys
import zipfile

WORDS = (b"line state host client dial phone voice request connect ping offline online "
         b"setup package archive record folder shortcut registry value key").split()


def text_block(rng, size):
    out = bytearray()
    while len(out) < size:
        out += b" ".join(rng.choice(WORDS) for _ in range(12)) + b"\r\n"
    return bytes(out[:size])


def make(path, megabytes=200):
    rng = random.Random(1402)
    target = megabytes * 1000 * 1000
    large = [int(target * share) for share in (0.22, 0.16, 0.12, 0.08, 0.06, 0.04)]
    written = 0
    with zipfile.ZipFile(path, "w") as z:
        for i, size in enumerate(large):
            # Large files: half of them compressible text (deflated), half random (stored).
            if i % 2 == 0:
                data = text_block(rng, size)
                z.writestr(zipfile.ZipInfo("big%02d.txt" % i, (2020, 5, 17, 12, 30, 0)), data,
                           compress_type=zipfile.ZIP_DEFLATED)
            else:
                data = rng.randbytes(size)
                z.writestr(zipfile.ZipInfo("big%02d.bin" % i, (2020, 5, 17, 12, 30, 0)), data,
                           compress_type=zipfile.ZIP_STORED)
            written += size
        i = 0
        while written < target:
            size = min(int(rng.expovariate(1 / 24000)) + 1, 400000, target - written)
            if i % 3 == 2:
                data, kind, name = rng.randbytes(size), zipfile.ZIP_STORED, "s%05d.bin" % i
            else:
                data, kind, name = text_block(rng, size), zipfile.ZIP_DEFLATED, "s%05d.txt" % i
            z.writestr(zipfile.ZipInfo(name, (2021, 3, 9, 8, 15, 20)), data, compress_type=kind)
            written += size
            i += 1
    return written


if __name__ == "__main__":
    total = make(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 200)
    print("%d bytes" % total)
