#!/usr/bin/env bash
# Converting a large index, against awk reading the same file in the same run.
#   bash bench/run.sh [ENTRIES]   (default 200000, 2 keywords each)
# Prints the ratio tamblin-cli convert / awk, and how the time grows when the file doubles.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/bin
entries=${1:-200000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$bin/gen_index" "$entries" 2 > "$work/a.xo"
"$bin/gen_index" $((entries * 2)) 2 > "$work/b.xo"

# Best of five runs of one command, in seconds.
best() {
    local best=""
    for _ in 1 2 3 4 5; do
        local start end t
        start=$(date +%s.%N)
        "$@" > /dev/null
        end=$(date +%s.%N)
        t=$(echo "$end - $start" | bc -l)
        if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
    done
    echo "$best"
}

convert_a=$(best "$bin/tamblin-cli" convert "$work/a.xo" "$work/out.xo")
awk_a=$(best awk -F';' '{n+=NF} END{print n}' "$work/a.xo")
convert_b=$(best "$bin/tamblin-cli" convert "$work/b.xo" "$work/out.xo")

size_a=$(stat -c %s "$work/a.xo")
printf 'file: %d entries, 2 keywords each, %d bytes\n' "$entries" "$size_a"
printf 'tamblin-cli convert: %.3f s   awk: %.3f s   ratio convert/awk: %.2f\n' \
    "$convert_a" "$awk_a" "$(echo "$convert_a / $awk_a" | bc -l)"
printf 'doubled file: %.3f s   growth: %.2fx (linear is 2.00x)\n' \
    "$convert_b" "$(echo "$convert_b / $convert_a" | bc -l)"

bash bench/scan.sh
bash bench/rescan.sh

# Checking the links of an index of that site against wget fetching its pages one by one.
bash bench/linkcheck.sh

# Laying out every printed page against loading the same index.
"$bin/bench_print_layout"

# Printing one 25 MB title and one of 50 MB, against checking the same file.
bash bench/print_long_title.sh

# Find next over the whole tree and from near its end, against counting the tree.
"$bin/bench_find"

# The script viewer on 50,000 entries and 100,000 keywords, against reading and splitting the file.
if [ -x "$bin/bench_webviewer" ]; then
    QT_QPA_PLATFORM=offscreen "$bin/bench_webviewer" 50000 2
fi

# The same viewer in chromium over loopback http, on a generated index and on the python
# documentation scanned from disk, against fetching and splitting the file in the same run.
bash bench/webviewer_chromium.sh

# 10,000 drag moves on a 50,000-entry tree, then all undone and redone, against counting
# the tree; and the history's memory per step.
QT_QPA_PLATFORM=offscreen "$bin/bench_undo"
