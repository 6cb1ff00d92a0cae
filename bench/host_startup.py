#!/usr/bin/env python3
"""Host start-up: TelvaneHost.exe from its start until its port accepts a connection,
against an empty Win32 program from its start to its end, on the same Wine prefix."""
import os
import time

import benchlib as b


def empty_start(session):
    t = b.telvane()
    start = time.perf_counter()
    t.wine(os.path.join(session.bin, "EmptyProgram.exe"), timeout=60)
    return time.perf_counter() - start


def main():
    args = b.arguments(__doc__)
    with b.Session(args.build) as session:
        chosen = [(label, folder) for label, kind, folder in b.servers(args, session, bare=False)]
        empty_start(session)  # the prefix's first program start pays for its warm-up
        times = {"empty": []}
        for run in range(max(args.repeat, 5)):
            times["empty"].append(empty_start(session))
            for label, folder in chosen:
                server = b.Server("host", folder, b.free_port()).start()
                server.stop()
                times.setdefault(label, []).append(server.startup)
        for label, values in times.items():
            print("%-12s %s (runs: %s)" % (label, b.ms(b.median(values)), ", ".join(b.ms(v) for v in values)))
        print("ratio host/empty program: %.2fx" % (b.median(times["host"]) / b.median(times["empty"])))


if __name__ == "__main__":
    main()
