#!/usr/bin/env python3
"""Setup start-up: setup.exe of the suite's package from its creation until its first wizard
page is on screen, against an empty Win32 program from its creation to its end, both timed
inside Wine by StartTimer on the same prefix."""
import os
import re
import shutil

import benchlib as b


def timed(t, session, *args):
    result = t.wine(os.path.join(session.bin, "StartTimer.exe"), *args, timeout=120, check=False)
    text = result.stdout.decode(errors="replace").strip()
    m = re.match(r"([\d.]+) ms", text)
    if result.returncode != 0 or not m:
        raise RuntimeError("StartTimer %s: %s (exit %d)" % (args[0], text, result.returncode))
    return float(m.group(1)) / 1000.0, text


def main():
    args = b.arguments(__doc__)
    with b.Session(args.build) as session:
        t = b.telvane()
        package = os.path.join(session.build, "package")
        if not os.path.exists(os.path.join(package, "setup.exe")):
            raise SystemExit("no package in %s: build the target suite_package first" % package)
        # A copy, so that nothing a run leaves behind reaches the build's package.
        copy = os.path.join(session.build, "bench-data", "setup-package")
        shutil.rmtree(copy, ignore_errors=True)
        shutil.copytree(package, copy)
        setup = t.unix_to_wine_path(os.path.join(copy, "setup.exe"))
        empty = t.unix_to_wine_path(os.path.join(session.bin, "EmptyProgram.exe"))
        timed(t, session, "exit", empty)  # warm-up of both
        _, first = timed(t, session, "window", setup)
        print("setup.exe shows: %s" % first)
        times = {"setup": [], "empty": []}
        for _ in range(max(args.repeat, 5)):
            times["empty"].append(timed(t, session, "exit", empty)[0])
            times["setup"].append(timed(t, session, "window", setup)[0])
        for label, values in times.items():
            print("%-6s %s (runs: %s)" % (label, b.ms(b.median(values)), ", ".join(b.ms(v) for v in values)))
        print("ratio setup.exe first page/empty program: %.2fx" % (b.median(times["setup"]) / b.median(times["empty"])))


if __name__ == "__main__":
    main()
