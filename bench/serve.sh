# Sourced after scratch.sh: serve DIR starts python's http.server on a free loopback port
# (its number in $port, its process in $server, stopped on exit); unserve stops it.
serve() {
    (cd "$1" && exec python3 -m http.server --bind 127.0.0.1 0 > "$work/port.log" 2>&1) &
    server=$!
    for _ in $(seq 100); do grep -q 'port' "$work/port.log" 2>/dev/null && break; sleep 0.1; done
    port=$(sed -n 's/.*port \([0-9]*\).*/\1/p' "$work/port.log" | head -n1)
}

unserve() {
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
    server=""
}
