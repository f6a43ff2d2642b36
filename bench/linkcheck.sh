#!/usr/bin/env bash
# Checking the links of an index of a generated site of PAGES pages (default 20000) over
# loopback HTTP, every response delayed by 20 ms: tamblin-cli check --links (--jobs 4, the
# default) against the same number of GETs by one wget fetching the pages one after another,
# on the same server in the same run, and their ratio.
#   bash bench/linkcheck.sh [PAGES]
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/bin
pages=${1:-20000}
work=$(mktemp -d)
server=""
cleanup() {
    if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
export no_proxy='*' NO_PROXY='*'

now() { date +%s.%N; }

python3 bench/gen_site.py "$work/site" "$pages"
python3 bench/serve_delayed.py "$work/site" 20 > "$work/port" &
server=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
site="http://127.0.0.1:$(head -n1 "$work/port")/"

# The index of the site, scanned from the files, with its base URL moved to the server.
"$bin/tamblin-cli" scan "$work/site/p0.htm" -o "$work/files.xo" > /dev/null
sed "s|^3;\([0-9]*\);[^;]*;|3;\1;$site;|" "$work/files.xo" > "$work/web.xo"

start=$(now)
status=0
"$bin/tamblin-cli" check "$work/web.xo" --links > "$work/check.txt" || status=$?
check_time=$(echo "$(now) - $start" | bc -l)
if [ "$status" != 0 ]; then
    echo "the check found problems in a site without any:" >&2
    head -n 5 "$work/check.txt" >&2
    exit 1
fi
checked=$(tail -n1 "$work/check.txt" | sed 's/.* on \([0-9]*\) pages.*/\1/')

for i in $(seq 0 $((checked - 1))); do echo "${site}p$i.htm"; done > "$work/urls.txt"
start=$(now)
wget -q -O /dev/null -i "$work/urls.txt" || true
wget_time=$(echo "$(now) - $start" | bc -l)

echo "$(tail -n1 "$work/check.txt")"
printf 'link check, 20 ms per response: tamblin-cli check --links %d pages in %.2f s, wget %d GETs one after another %.2f s, ratio %.3f\n' \
    "$checked" "$check_time" "$checked" "$wget_time" "$(echo "$check_time / $wget_time" | bc -l)"
