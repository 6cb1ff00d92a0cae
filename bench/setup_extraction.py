#!/usr/bin/env python3
"""Extraction: PackageArchive under Wine unpacking a package of about 200 MB of mixed files
(many small, a few large, stored and deflated), entry by entry as the file installation
does, against Info-ZIP unzip (native) on the same archive; MB/s of extracted data."""
import os
import shutil
import subprocess
import time
import zipfile

import benchlib as b
import make_package


def extra(parser):
    parser.add_argument("--megabytes", type=int, default=200)


def fresh(folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)


def check(folder, infos):
    for info in infos:
        path = os.path.join(folder, info.filename)
        if os.path.getsize(path) != info.file_size:
            raise RuntimeError("%s has %d bytes, not %d" % (path, os.path.getsize(path), info.file_size))


def main():
    args = b.arguments(__doc__, extra)
    with b.Session(args.build) as session:
        t = b.telvane()
        data = os.path.join(session.build, "bench-data")
        os.makedirs(data, exist_ok=True)
        package = os.path.join(data, "package-%d.zip" % args.megabytes)
        if not os.path.exists(package):
            make_package.make(package + ".part", args.megabytes)
            os.rename(package + ".part", package)
        with zipfile.ZipFile(package) as z:
            infos = z.infolist()
        total = sum(i.file_size for i in infos)
        names = os.path.join(data, "names.txt")
        with open(names, "w", newline="\n") as f:
            f.write("".join(i.filename + "\n" for i in infos))
        print("package: %d entries (%d stored, %d deflated), %.1f MB extracted, %.1f MB archive" % (
            len(infos), sum(1 for i in infos if i.compress_type == zipfile.ZIP_STORED),
            sum(1 for i in infos if i.compress_type == zipfile.ZIP_DEFLATED), total / 1e6,
            os.path.getsize(package) / 1e6), flush=True)

        out_unzip = os.path.join(data, "out-unzip")
        out_archive = os.path.join(data, "out-archive")
        times = {"unzip": [], "PackageArchive": [], "ExtractBench run": []}
        exe = os.path.join(session.bin, "ExtractBench.exe")
        for run in range(args.repeat):
            fresh(out_unzip)
            start = time.perf_counter()
            subprocess.run(["unzip", "-q", "-o", package, "-d", out_unzip], check=True, timeout=600)
            times["unzip"].append(time.perf_counter() - start)
            check(out_unzip, infos)
            shutil.rmtree(out_unzip, ignore_errors=True)

            fresh(out_archive)
            start = time.perf_counter()
            result = t.wine(exe, t.unix_to_wine_path(package), t.unix_to_wine_path(names),
                            t.unix_to_wine_path(out_archive), timeout=900)
            times["ExtractBench run"].append(time.perf_counter() - start)
            words = result.stdout.decode().split()
            times["PackageArchive"].append(float(words[-2]))
            times.setdefault("locating alone", []).append(float(words[2]))
            check(out_archive, infos)
            shutil.rmtree(out_archive, ignore_errors=True)
            print("run %d: unzip %.2f s, PackageArchive %.2f s (the whole program run under Wine, with a second pass that only finds the entries: %.2f s; finding the "
                  "entries by name alone takes %.2f s)" % (
                      run + 1, times["unzip"][-1], times["PackageArchive"][-1], times["ExtractBench run"][-1],
                      times["locating alone"][-1]), flush=True)
        locating = times.pop("locating alone")
        print("finding the entries by name (unzLocateFile per entry), alone: median %.2f s" % b.median(locating))
        rate = {k: total / 1e6 / b.median(v) for k, v in times.items()}
        for k, v in rate.items():
            print("%-20s %.1f MB/s (median %.2f s)" % (k, v, b.median(times[k])))
        print("ratio PackageArchive/unzip throughput: %.2fx" % (rate["PackageArchive"] / rate["unzip"]))


if __name__ == "__main__":
    main()
