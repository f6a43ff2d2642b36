#!/bin/sh
# The script viewer as it is against the viewer of an earlier commit, in the same run, on the
# same 50,000-entry index: bench/viewer_split.sh [BUILD_DIR] [REV] [RUNS]
# REV defaults to the last commit whose viewer was one file. Prints the median of RUNS runs
# (default 7) of each and their ratio.
set -eu
build=${1:-build}
rev=${2:-de257de^}
runs=${3:-7}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/scratch.sh"
bin="$build/bin"
[ -x "$bin/bench_webviewer" ] || { echo "no $bin/bench_webviewer: build the bench targets" >&2; exit 1; }
old="$work/old"
mkdir -p "$old/Redist"
cp "$bin/bench_webviewer" "$old/"
for name in navora-web.js navora-web.css; do
    git -C "$here/.." show "$rev:src/webviewer/$name" > "$old/Redist/$name"
done
one() {
    QT_QPA_PLATFORM=offscreen "$1" 50000 2 2>/dev/null | sed -n 's/.*first tree shown: \([0-9.]*\) ms.*/\1/p'
}
median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# Taken in turns, so that whatever else the machine does weighs on both alike.
for i in $(seq "$runs"); do
    one "$old/bench_webviewer" >> "$work/before"
    one "$bin/bench_webviewer" >> "$work/after"
done
before=$(median "$work/before")
after=$(median "$work/after")
echo "first tree shown, median of $runs: one file ($rev) $before ms, in parts $after ms"
awk -v a="$after" -v b="$before" 'BEGIN { printf "ratio parts/one file: %.3f (aim: at most 1.05)\n", a / b }'
