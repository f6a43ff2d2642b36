#!/usr/bin/env bash
# Mojibake check over Debian documentation packages: each start page (the Apache manual
# from each of its languages, the Python 3.11 docs) is scanned from disk with the default
# options but --no-shorten-titles, and every title `tamblin-cli export --json` reads back
# is held against TextDecoder's decoding of its page with the charset the page declares
# (scripts/check_scan_titles.js). Prints one line per start page; exits 1 when any title
# differs. Start pages that are not installed are left out.
#   bash bench/mojibake.sh [START_PAGE ...]
set -uo pipefail
cd "$(dirname "$0")/.."
cli=build/bin/tamblin-cli
source bench/scratch.sh
manual=/usr/share/doc/apache2-doc/manual
starts=("$@")
if [ ${#starts[@]} -eq 0 ]; then
    for language in en de es fr ja ko pt-br ru tr zh-cn da; do
        starts+=("$manual/$language/index.html")
    done
    starts+=(/usr/share/doc/python3.11/html/index.html)
fi
failed=0
for start in "${starts[@]}"; do
    [ -f "$start" ] || continue
    "$cli" scan "$start" -o "$work/index.xo" --no-shorten-titles > "$work/report.txt" 2>&1
    line=$("$cli" export "$work/index.xo" --json |
        node scripts/check_scan_titles.js "$(dirname "$start")")
    code=$?
    summary=$(grep -o '^[0-9]* pages found' "$work/report.txt")
    echo "$start: $summary; $(echo "$line" | head -1)"
    if [ $code -ne 0 ]; then
        failed=1
        echo "$line" | tail -n +2
    fi
done
exit $failed
