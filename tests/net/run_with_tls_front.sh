#!/bin/sh
# Runs a test program with TLS in front of the scripted radio server (run by
# run_with_icy_server.sh, whose port is in QUENDRA_ICY_PORT): certificates from a test
# authority (make_test_certs.sh), the front's ports in QUENDRA_TLS_PORTS ("name port" lines) and the
# authority's certificate (DER, as a Windows path) in QUENDRA_TEST_AUTHORITY.
# Usage: run_with_icy_server.sh run_with_tls_front.sh PROGRAM [ARGS...]
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d)
trap 'kill $front 2>/dev/null; rm -rf "$dir"' EXIT INT TERM
sh "$here/make_test_certs.sh" "$dir" || exit 1
python3 "$here/tls_front.py" "$dir/ports" "$dir" "$QUENDRA_ICY_PORT" &
front=$!
i=0
while [ ! -s "$dir/ports" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
[ -s "$dir/ports" ] || { echo "the TLS front did not start" >&2; exit 1; }
QUENDRA_TLS_PORTS=$(cat "$dir/ports")
QUENDRA_TEST_AUTHORITY=$(printf 'Z:%s' "$dir/ca.der" | tr '/' '\\')
export QUENDRA_TLS_PORTS QUENDRA_TEST_AUTHORITY
"$@"
