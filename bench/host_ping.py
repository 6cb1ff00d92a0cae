#!/usr/bin/env python3
"""Ping on a connection that stays open: the round trip of each of 100 pings in a row on
one connection, until the whole answer (Ping and the line state, 8 bytes) has arrived;
the host against the bare server."""
import socket
import time

import benchlib as b


def extra(parser):
    parser.add_argument("--pings", type=int, default=100)


def series(port, count):
    s = socket.create_connection((b.LOOPBACK, port), timeout=10)
    s.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    times = []
    try:
        for _ in range(count):
            start = time.perf_counter()
            s.sendall(b.unit(b.PING))
            data = b.Clients._read_exactly(s, 8, time.monotonic() + 10)
            times.append(time.perf_counter() - start)
            if b.codes_of(data)[0] != b.PING:
                raise RuntimeError("unexpected answer %s" % b.codes_of(data))
    finally:
        s.close()
    return times


def main():
    args = b.arguments(__doc__, extra)
    with b.Session(args.build) as session:
        chosen = b.servers(args, session)
        figures = {}
        for run in range(args.repeat):
            order = chosen if run % 2 == 0 else list(reversed(chosen))
            for label, kind, folder in order:
                server = b.Server(kind, folder, b.free_port()).start()
                try:
                    figures.setdefault(label, []).append(series(server.port, args.pings))
                finally:
                    server.stop()
        medians = {}
        for label, _, _ in chosen:
            runs = figures[label]
            first = b.median([r[0] for r in runs])
            rest = [x for r in runs for x in r[1:]]
            medians[label] = b.median(rest)
            over = sum(1 for r in runs for x in r if x >= 0.002)
            print("%-12s first %s  from the second on: median %s, max %s; %d of %d pings took 2 ms or more" % (
                label, b.ms(first), b.ms(medians[label]), b.ms(max(rest)), over, len(runs) * args.pings), flush=True)
        print("ratio host/bare (median from the second ping on): %.2fx" % (medians["host"] / medians["bare"]))


if __name__ == "__main__":
    main()
