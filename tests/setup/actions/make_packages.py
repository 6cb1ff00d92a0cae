"""Makes the test packages of the setup actions: one with Python's zipfile, one with Info-ZIP zip,
and broken ones, plus the source of every entry for comparison.

    make_packages.py OUT_DIR BIN_DIR

Entry times are local wall-clock times of the zone in TZ (the tests run in the same zone)."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zipfile

out, bin_dir = sys.argv[1], sys.argv[2]
src = os.path.join(out, "src")
os.makedirs(src, exist_ok=True)

LIBRARIES = ["v0900.dll", "v1000.dll", "v1005.dll", "v1100.dll", "v2000.dll", "regmark.dll"]
BIG = b"".join(b"line %05d of a text that deflates into more than one transfer buffer\r\n" % i
               for i in range(3000))

# name in the package, source file, compression, local time
python_entries = [
    ("readme.txt", b"Telvane readme\r\n" * 50, zipfile.ZIP_DEFLATED, (2001, 2, 3, 4, 5, 6)),
    ("Stored.bin", bytes(range(256)) * 4, zipfile.ZIP_STORED, (2010, 6, 7, 8, 9, 10)),
    ("empty.txt", b"", zipfile.ZIP_STORED, (2005, 5, 5, 5, 5, 6)),
    ("MixedCase.Txt", b"mixed", zipfile.ZIP_DEFLATED, (2003, 3, 3, 3, 3, 4)),
    ("caf\u00e9.txt", b"cafe", zipfile.ZIP_STORED, (2003, 3, 3, 3, 3, 4)),
    ("n" * 255, b"long name", zipfile.ZIP_STORED, (2003, 3, 3, 3, 3, 4)),
    ("m" * 256, b"too long a name", zipfile.ZIP_STORED, (2003, 3, 3, 3, 3, 4)),
    ("bad-crc.txt", b"checksum " * 200, zipfile.ZIP_DEFLATED, (2004, 4, 4, 4, 4, 4)),
    ("big.txt", BIG, zipfile.ZIP_DEFLATED, (2007, 1, 2, 3, 4, 6)),
    ("noversion.txt", b"no version here\r\n", zipfile.ZIP_DEFLATED, (2002, 2, 2, 2, 2, 2)),
    ("notes.txt", b"MZ but not a library\r\n", zipfile.ZIP_DEFLATED, (2002, 2, 2, 2, 2, 2)),
]
for name in LIBRARIES:
    with open(os.path.join(bin_dir, name), "rb") as f:
        python_entries.append((name, f.read(), zipfile.ZIP_DEFLATED, (2002, 2, 2, 2, 2, 2)))
python_entries.append(("bin/tool.dll", python_entries[-1][1], zipfile.ZIP_DEFLATED, (2002, 2, 2, 2, 2, 2)))


def source_name(entry):
    return entry.replace("/", "_") if len(entry) < 100 else entry[0] + "-long-%d" % len(entry)


python_zip = os.path.join(out, "python.zip")
with zipfile.ZipFile(python_zip, "w") as archive:
    for name, data, method, when in python_entries:
        info = zipfile.ZipInfo(name, when)
        info.compress_type = method
        info.external_attr = 0o644 << 16
        archive.writestr(info, data)
        with open(os.path.join(src, source_name(name)), "wb") as f:
            f.write(data)


def patch_crc(path, entry):
    """Gives the entry a wrong CRC in its local header and its central directory record."""
    with zipfile.ZipFile(path) as archive:
        info = archive.getinfo(entry)
    with open(path, "r+b") as f:
        data = bytearray(f.read())
        wrong = struct.pack("<I", (info.CRC ^ 0x5A5A5A5A) & 0xFFFFFFFF)
        data[info.header_offset + 14:info.header_offset + 18] = wrong
        at = data.find(b"PK\x01\x02")
        while at >= 0:
            length = struct.unpack("<H", data[at + 28:at + 30])[0]
            if data[at + 46:at + 46 + length] == entry.encode():
                data[at + 16:at + 20] = wrong
            at = data.find(b"PK\x01\x02", at + 4)
        f.seek(0)
        f.write(data)


patch_crc(python_zip, "bad-crc.txt")

with open(python_zip, "rb") as f:
    whole = f.read()
with open(os.path.join(out, "truncated.zip"), "wb") as f:
    f.write(whole[:len(whole) // 2])
with open(os.path.join(out, "notzip.zip"), "wb") as f:
    f.write(b"this is no archive at all\r\n" * 10)
damaged = os.path.join(out, "damaged.zip")
with zipfile.ZipFile(damaged, "w", zipfile.ZIP_DEFLATED) as archive:
    archive.writestr(zipfile.ZipInfo("big.txt", (2007, 1, 2, 3, 4, 6)), BIG, zipfile.ZIP_DEFLATED)
with zipfile.ZipFile(damaged) as archive:
    info = archive.getinfo("big.txt")
with open(damaged, "r+b") as f:
    data = bytearray(f.read())
    start = info.header_offset + 30 + len("big.txt") + info.compress_size // 3
    for i in range(start, start + 64):
        data[i] ^= 0xFF
    f.seek(0)
    f.write(data)

# Info-ZIP stores each file's modification time as local time of the zone in TZ.
time.tzset()
work = tempfile.mkdtemp()
try:
    infozip_entries = [
        ("zreadme.txt", b"Info-ZIP readme\r\n" * 40, (2006, 7, 8, 9, 10, 12)),
        ("zdata.bin", bytes(range(255, -1, -1)) * 8, (2008, 12, 31, 23, 59, 58)),
        ("zempty.txt", b"", (1999, 1, 1, 0, 0, 0)),
        ("ZUpper.TXT", b"upper", (2009, 9, 9, 9, 9, 10)),
        ("zbig.txt", BIG, (2011, 11, 11, 11, 11, 12)),
    ]
    for name, data, when in infozip_entries:
        path = os.path.join(work, name)
        with open(path, "wb") as f:
            f.write(data)
        stamp = time.mktime(when + (0, 0, -1))
        os.utime(path, (stamp, stamp))
        shutil.copy(path, os.path.join(src, name))
    target = os.path.join(out, "infozip.zip")
    if os.path.exists(target):
        os.remove(target)
    # -n .bin stores the .bin file; everything else is deflated.
    subprocess.run(["zip", "-q", "-X", "-n", ".bin", target] + [name for name, _, _ in infozip_entries],
                   cwd=work, check=True)
finally:
    shutil.rmtree(work)
