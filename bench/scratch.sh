# Sourced by the benchmarks that serve pages: a scratch folder $work, removed on exit with
# the server whose process id is in $server, and no proxy for loopback.
work=$(mktemp -d)
server=""
cleanup() {
    if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
export no_proxy='*' NO_PROXY='*'

now() { date +%s.%N; }
