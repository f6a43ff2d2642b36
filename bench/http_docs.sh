#!/usr/bin/env bash
# A real site nobody here wrote, over loopback HTTP: Debian's python3.11-doc served by
# `python3 -m http.server` (HTTP/1.0, every connection closed after one answer). Scans it
# RUNS times (default 5) with each of --jobs 1, 4, 8 and 16; every run must read every page
# and report the same problems as the first, and the median time of each is set against
# `wget -r --spider` on the same server in the same run (WGET_RUNS times, default 1: it is
# slow).
#   bash bench/http_docs.sh [DOCS_DIR]   (default /usr/share/doc/python3.11/html)
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$PWD/build/bin
docs=${1:-/usr/share/doc/python3.11/html}
runs=${RUNS:-5}
wget_runs=${WGET_RUNS:-1}
[ -f "$docs/index.html" ] || { echo "no $docs/index.html: apt-get install python3.11-doc" >&2; exit 2; }
source bench/scratch.sh
median() { sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
(cd "$docs" && exec python3 -m http.server --bind 127.0.0.1 "$port" > /dev/null 2>&1) &
server=$!
for _ in $(seq 100); do curl -s -o /dev/null "http://127.0.0.1:$port/" && break; sleep 0.1; done
url="http://127.0.0.1:$port/index.html"

wget_times=()
for _ in $(seq "$wget_runs"); do
    rm -rf "$work/wget" && mkdir "$work/wget"
    start=$(now)
    (cd "$work/wget" && wget -r -l inf --spider -q "$url" || true)
    wget_times+=("$(echo "$(now) - $start" | bc -l)")
done
wget_median=$(printf '%s\n' "${wget_times[@]}" | median)
printf 'wget -r --spider: median %.2f s of %d runs\n' "$wget_median" "$wget_runs"

reference_pages=""
failed=0
for jobs in 1 4 8 16; do
    times=()
    for run in $(seq "$runs"); do
        start=$(now)
        "$bin/tamblin-cli" scan "$url" -o "$work/out.xo" --raw --jobs "$jobs" \
            > "$work/report.txt" 2> "$work/problems.txt"
        times+=("$(echo "$(now) - $start" | bc -l)")
        pages=$(grep -c '^5;' "$work/out.xo" || true)
        if [ -z "$reference_pages" ]; then
            reference_pages=$pages
            cp "$work/problems.txt" "$work/reference_problems.txt"
        fi
        if [ "$pages" != "$reference_pages" ] || ! cmp -s "$work/problems.txt" "$work/reference_problems.txt"; then
            echo "jobs $jobs run $run: $pages pages (first run: $reference_pages), problems:" >&2
            diff "$work/reference_problems.txt" "$work/problems.txt" >&2 || true
            failed=1
        fi
    done
    med=$(printf '%s\n' "${times[@]}" | median)
    printf 'jobs %2d: %d pages each run, median %.2f s (runs: %s), ratio to wget %.3f (aim < 0.3)\n' \
        "$jobs" "$reference_pages" "$med" "$(printf '%.2f ' "${times[@]}")" \
        "$(echo "$med / $wget_median" | bc -l)"
done
exit "$failed"
