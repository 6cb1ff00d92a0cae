#!/usr/bin/env python3
"""Script handling: everything an installation does per record apart from the fixed 50 ms
pause (the record count asked before every record, the record fetched, expanded and
logged), for 1,000, 5,000 and 20,000 file records, and its share of the installation."""
import os
import re

import benchlib as b


def extra(parser):
    parser.add_argument("--sizes", default="1000,5000,20000")


def run(t, folder, sizes):
    result = t.wine(os.path.join(folder, "ScriptBench.exe"), *sizes, timeout=600)
    rows = {}
    text = result.stdout.decode(errors="replace")
    for line in text.splitlines():
        m = re.match(r"\s*(\d+)\s+([\d.]+)\s+([\d.]+) us\s+([\d.]+)\s+([\d.]+)%", line)
        if m:
            rows[int(m.group(1))] = (float(m.group(2)), float(m.group(5)))
    return text, rows


def main():
    args = b.arguments(__doc__, extra)
    sizes = args.sizes.split(",")
    with b.Session(args.build) as session:
        t = b.telvane()
        chosen = [("before", args.before)] if args.before else []
        chosen.append(("now", session.bin))
        best = {}
        for label, folder in chosen:
            runs = [run(t, folder, sizes) for _ in range(args.repeat)]
            print("%s (%s), first run:\n%s" % (label, folder, runs[0][0].rstrip()))
            best[label] = {int(n): (b.median([r[1][int(n)][0] for r in runs]), b.median([r[1][int(n)][1] for r in runs]))
                           for n in sizes}
        mid, hi = int(sizes[len(sizes) // 2]), int(sizes[-1])
        parts = []
        for label, _ in chosen:
            rows = best[label]
            # Time per record at the largest size against the middle one: 1.0 is linear.
            growth = (rows[hi][0] / rows[mid][0]) / (hi / mid)
            parts.append("%s: rest %.2f%% of the installation at %d records, per-record time x%.1f from %d to %d"
                         % (label, rows[mid][1], mid, growth, mid, hi))
        print("; ".join(parts))


if __name__ == "__main__":
    main()
