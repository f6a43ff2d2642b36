#!/usr/bin/env bash
# Printing an index whose one entry has a very long title, at two sizes, against checking
# (loading) the same files in the same run.
#   bash bench/print_long_title.sh [MEGABYTES]   (default 25; the second file is twice that)
# Prints the time and peak memory of tamblin-cli print for both files, their growth (linear
# is 2.00x) and the ratio print / check.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=build/bin/tamblin-cli
mb=${1:-25}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

make_index() { # MEGABYTES FILE
    python3 - "$1" "$2" <<'PY'
import sys
size = int(sys.argv[1]) * 1024 * 1024
with open(sys.argv[2], "w") as f:
    f.write("XO0;2;1;1\r\n1;Long title;December 6 2026\r\n5;1;;a.htm;")
    f.write("word " * (size // 5))
    f.write(";;0;\r\n")
PY
}

# Seconds and peak kilobytes of one run, as "S KB".
measure() {
    /usr/bin/time -f '%e %M' -o "$work/time" "$@" > /dev/null 2>&1
    cat "$work/time"
}

make_index "$mb" "$work/a.xo"
make_index $((mb * 2)) "$work/b.xo"
read -r check_a _ <<< "$(measure "$cli" check "$work/a.xo")"
read -r print_a mem_a <<< "$(measure "$cli" print "$work/a.xo" -o "$work/a.pdf")"
read -r print_b mem_b <<< "$(measure "$cli" print "$work/b.xo" -o "$work/b.pdf")"

printf 'print, %d MB title: %.2f s, %d KB   check of the same file: %.2f s   ratio: %.2f\n' \
    "$mb" "$print_a" "$mem_a" "$check_a" "$(echo "$print_a / ($check_a + 0.01)" | bc -l)"
printf 'print, %d MB title: %.2f s, %d KB\n' $((mb * 2)) "$print_b" "$mem_b"
printf 'growth when the title doubles: time %.2fx, memory %.2fx (linear is 2.00x)\n' \
    "$(echo "$print_b / $print_a" | bc -l)" "$(echo "$mem_b / $mem_a" | bc -l)"
