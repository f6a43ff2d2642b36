#!/usr/bin/env bash
# Updating an index from its site: a generated site of PAGES pages (default 20000) is
# scanned into an index, which gets 1000 hand edits; 200 pages are then retitled on the
# site. Times, best of three, in file mode:
#  scan:   tamblin-cli scan (the baseline, measured in the same run);
#  rescan: tamblin-cli rescan of the edited index (the same scan, then read, merge, write);
# and their ratio (target <= 1.5), then the rescan at a quarter and half the size to show
# how it grows.
#   bash bench/rescan.sh [PAGES]
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/bin
pages=${1:-20000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }
best() {
    local best=""
    for _ in 1 2 3; do
        local start t
        start=$(now)
        "$@" > /dev/null
        t=$(echo "$(now) - $start" | bc -l)
        if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
    done
    echo "$best"
}

# Site and edited index of n pages in $work/n/.
prepare() {
    local n=$1 dir="$work/$1"
    python3 bench/gen_site.py "$dir/site" "$n"
    "$bin/tamblin-cli" scan "$dir/site/p0.htm" -o "$dir/scanned.xo" > /dev/null
    python3 bench/hand_edit.py "$dir/scanned.xo" "$dir/edited.xo" 1000
    for ((i = 1; i < n; i += n / 200)); do
        sed -i "s|<title>Page $i &amp; more</title>|<title>Page $i, renamed</title>|" \
            "$dir/site/p$i.htm"
    done
}

rescan_time() {
    local dir="$work/$1"
    best "$bin/tamblin-cli" rescan "$dir/edited.xo" -o "$dir/out.xo"
}

prepare "$pages"
dir="$work/$pages"
scan=$(best "$bin/tamblin-cli" scan "$dir/site/p0.htm" -o "$dir/plain.xo")
rescan=$(rescan_time "$pages")
"$bin/tamblin-cli" rescan "$dir/edited.xo" -o "$dir/out.xo" > "$dir/lists.txt"
printf '%d pages, 1000 hand edits: scan %.3f s, rescan %.3f s, ratio %.2f (target <= 1.5)\n' \
    "$pages" "$scan" "$rescan" "$(echo "$rescan / $scan" | bc -l)"
grep -E '^(Pages|Keywords|Edits)' "$dir/lists.txt" | tr '\n' ' '
echo
for n in $((pages / 4)) $((pages / 2)); do
    prepare "$n"
    printf 'rescan of %d pages: %.3f s\n' "$n" "$(rescan_time "$n")"
done
printf 'rescan of %d pages: %.3f s (linear: each doubling about 2x)\n' "$pages" "$rescan"
