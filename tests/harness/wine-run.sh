#!/usr/bin/env bash
# Runs one Windows program under the test run's Wine session (see wine-session.sh).
# TELVANE_SESSION names the session folder; extra DLL overrides go in TELVANE_DLLOVERRIDES.
set -eu
if [ -z "${TELVANE_SESSION:-}" ] || [ ! -f "$TELVANE_SESSION/env" ]; then
  echo "wine-run.sh: no wine session; run the tests through ctest" >&2
  exit 2
fi
# shellcheck disable=SC1091
. "$TELVANE_SESSION/env"
# A test that needs a prefix of its own (a restart ends every program of a prefix) names it.
[ -n "${TELVANE_WINEPREFIX:-}" ] && export WINEPREFIX="$TELVANE_WINEPREFIX"
overrides="mscoree,mshtml="
[ -n "${TELVANE_DLLOVERRIDES:-}" ] && overrides="$overrides;$TELVANE_DLLOVERRIDES"
export WINEDLLOVERRIDES="$overrides"
# A test that reads a program's debug output asks for it (e.g. -all,+debugstr).
[ -n "${TELVANE_WINEDEBUG:-}" ] && export WINEDEBUG="$TELVANE_WINEDEBUG"
export WINELOADER="$TELVANE_WINE"
exec "$TELVANE_WINE" "$@"
