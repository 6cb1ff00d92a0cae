#!/usr/bin/env python3
"""Host fan-out: with N clients connected, the time from one client's PhoneToggle until
every client has its line-state unit, a ping's round trip meanwhile, and the memory per
connection; the host against the bare server, run side by side."""
import benchlib as b


def extra(parser):
    parser.add_argument("--sizes", default="10,100,1000")
    parser.add_argument("--toggles", type=int, default=15)
    parser.add_argument("--pings", type=int, default=30)
    parser.add_argument("--settle", type=float, default=0.1,
                        help="quiet seconds before each measured unit, so every earlier unit is acknowledged")


def measure(kind, folder, n, args):
    server = b.Server(kind, folder, b.free_port()).start()
    try:
        idle = server.rss_kib()
        idle_server = server.server_rss_kib()
        clients = b.Clients(server.port, n)
        try:
            clients.broadcast()  # warm-up: first pass through every connection
            clients.broadcast()
            fan = b.median([clients.broadcast(sender=i % n, settle=args.settle) for i in range(args.toggles)])
            ping = b.median([clients.ping(who=n // 2, settle=args.settle) for _ in range(args.pings)])
            per_conn = ((server.rss_kib() - idle) / n, (server.server_rss_kib() - idle_server) / n)
        finally:
            clients.close()
    finally:
        server.stop()
    return fan, ping, per_conn


def main():
    args = b.arguments(__doc__, extra)
    sizes = [int(s) for s in args.sizes.split(",")]
    with b.Session(args.build) as session:
        chosen = b.servers(args, session)
        results = {}
        for n in sizes:
            for run in range(args.repeat):
                # Alternate the order, so a slower moment of the machine hits both sides.
                order = chosen if run % 2 == 0 else list(reversed(chosen))
                for label, kind, folder in order:
                    results.setdefault((label, n), []).append(measure(kind, folder, n, args))
            for label, _, _ in chosen:
                runs = results[(label, n)]
                print("N=%-5d %-12s fan-out %s  ping %s  memory per connection %.2f KiB in the program, %.2f KiB in "
                      "wineserver  (fan-out runs: %s)" % (
                          n, label, b.ms(b.median([r[0] for r in runs])), b.ms(b.median([r[1] for r in runs])),
                          b.median([r[2][0] for r in runs]), b.median([r[2][1] for r in runs]),
                          ", ".join(b.ms(r[0]) for r in runs)), flush=True)
        summary = []
        for n in sizes:
            fan = {label: b.median([r[0] for r in results[(label, n)]]) for label, _, _ in chosen}
            ping = {label: b.median([r[1] for r in results[(label, n)]]) for label, _, _ in chosen}
            summary.append("N=%d fan-out %.2fx ping %.2fx" % (n, fan["host"] / fan["bare"], ping["host"] / ping["bare"]))
        print("ratio host/bare: " + "; ".join(summary))


if __name__ == "__main__":
    main()
