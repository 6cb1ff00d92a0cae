#!/usr/bin/env bash
# The main job: builds the product, starts TelvaneHost under Wine listening on its port,
# and shows it answering a ping from a plain Python socket on 127.0.0.1.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
"$top/scripts/install-deps.sh"
mkdir -p "$top/build"
build_tree i686 -DTELVANE_NATIVE=OFF
arch=$(test_arch)
[ "$arch" = i686 ] || build_tree "$arch" -DTELVANE_NATIVE=OFF
bin=$top/build/$arch/bin
session=$top/build/demo-session
"$top/tests/harness/wine-session.sh" start "$session" "$arch"
trap '"$top/tests/harness/wine-session.sh" stop "$session"' EXIT
export TELVANE_SESSION=$session TELVANE_WINE_RUN=$top/tests/harness/wine-run.sh TELVANE_BIN=$bin
# The dial-up line is the simulator's (tests/rassim): Wine has no dial-up service.
export TELVANE_RASSIM=$top/build/$arch/tests/rassim/rasapi32.dll
port=${TELVANE_DEMO_PORT:-1020}
python3 - "$port" <<'PY'
import os, sys
sys.path.insert(0, os.path.join(os.environ["TELVANE_WINE_RUN"].rsplit("/tests/", 1)[0], "tests", "e2e"))
import telvane as t

port = int(sys.argv[1])
t.reg_set(r"HKCU\Software\Velmora\TelvaneHost\Host", "Listening_Port", "REG_DWORD", port)
host = t.SimulatedHost("entry Ringwell dial_ms=1500\r\n").start()
try:
    peer = t.connect_when_listening(port)
    print("TelvaneHost is listening on 127.0.0.1:%d" % port)
    peer.send(t.PING)
    answer = peer.receive(2)
    print("sent Ping (1129); the host answered: " + ", ".join("%s (%d)" % (t.NAMES[c], c) for c in answer))
    peer.send(t.CONNECT_REQUEST)
    print("sent ConnectRequest (1126); the host dials Ringwell on the simulated line...")
    print("  the host answered: %s" % t.names(peer.receive(1, timeout=20))[0])
    peer.send(t.DISCONNECT_REQUEST)
    print("sent DisconnectRequest (1127); the host answered: %s" % t.names(peer.receive(1))[0])
    peer.close()
    for kind, text in host.status_log("TelvaneHost"):
        print("  host status log:", text)
finally:
    host.cleanup()
PY
