#!/usr/bin/env python3
"""Request throughput: one peer sends units as fast as it can, half Ping and half values
that are no request, and reads the answers meanwhile; units per second until the last
answer, the host against the bare server."""
import select
import socket
import time

import benchlib as b

NO_REQUEST = 2  # a value that is no client-to-host code: read and discarded


def extra(parser):
    parser.add_argument("--units", type=int, default=100000)
    parser.add_argument("--limit", type=float, default=240.0, help="seconds after which a run stops")


def blast(port, units, limit):
    s = socket.create_connection((b.LOOPBACK, port), timeout=10)
    s.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    s.setblocking(False)
    out = b"".join(b.unit(b.PING) + b.unit(NO_REQUEST) for _ in range(units // 2))
    expected = (units // 2) * 8
    sent = received = 0
    poller = select.epoll()
    poller.register(s.fileno(), select.EPOLLIN | select.EPOLLOUT)
    start = time.perf_counter()
    deadline = time.monotonic() + limit
    try:
        while received < expected and time.monotonic() < deadline:
            for _, events in poller.poll(1.0):
                if events & select.EPOLLOUT:
                    try:
                        sent += s.send(out[sent:sent + 65536])
                    except BlockingIOError:
                        pass
                    if sent >= len(out):
                        poller.modify(s.fileno(), select.EPOLLIN)
                if events & select.EPOLLIN:
                    data = s.recv(1 << 20)
                    if not data:
                        raise RuntimeError("connection closed by the server")
                    received += len(data)
        elapsed = time.perf_counter() - start
    finally:
        poller.close()
        s.close()
    done = received // 8 * 2  # units answered: each ping's answer stands for its pair
    return done / elapsed, done == units


def main():
    args = b.arguments(__doc__, extra)
    with b.Session(args.build) as session:
        chosen = b.servers(args, session)
        rates = {}
        for run in range(args.repeat):
            order = chosen if run % 2 == 0 else list(reversed(chosen))
            for label, kind, folder in order:
                server = b.Server(kind, folder, b.free_port()).start()
                try:
                    rate, complete = blast(server.port, args.units, args.limit)
                finally:
                    server.stop()
                rates.setdefault(label, []).append(rate)
                print("run %d %-12s %.0f units/s%s" % (run + 1, label, rate,
                                                      "" if complete else " (stopped at the time limit)"),
                      flush=True)
        for label, _, _ in chosen:
            rate = b.median(rates[label])
            print("%-12s %.0f units/s, %.3f ms a unit" % (label, rate, 1000.0 / rate))
        line = "ratio bare/host time per unit: %.2fx" % (b.median(rates["bare"]) / b.median(rates["host"]))
        if "host-before" in rates:
            line += " (before: %.2fx)" % (b.median(rates["bare"]) / b.median(rates["host-before"]))
        print(line)


if __name__ == "__main__":
    main()
