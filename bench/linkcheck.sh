#!/usr/bin/env bash
# Checking the links of an index of a generated site of PAGES pages (default 20000) over
# loopback HTTP, every response delayed by 20 ms: tamblin-cli check --links (--jobs 4, the
# default) against the same number of GETs by one wget fetching the pages one after another,
# on the same server in the same run, and their ratio.
#   bash bench/linkcheck.sh [PAGES]
pages=${1:-20000}
source "$(dirname "$0")/site_server.sh"
start_server 20

# The index of the site, scanned from the files, with its base URL records (type 3:
# "3;id;base URL;target", fields trimmed of spaces when read) pointed at the server.
"$bin/tamblin-cli" scan "$work/site/p0.htm" -o "$work/files.xo" > /dev/null
awk -F';' -v OFS=';' -v site="$site_url" '
    { sub(/\r$/, ""); type = $1; gsub(/^ +| +$/, "", type) }
    type == "3" && NF >= 3 { $3 = site }
    { printf "%s\r\n", $0 }' "$work/files.xo" > "$work/web.xo"
if ! grep -q "^3;[0-9]*;$site_url;" "$work/web.xo"; then
    echo "the scanned index has no base URL record to point at the server" >&2
    exit 1
fi

start=$(now)
status=0
"$bin/tamblin-cli" check "$work/web.xo" --links > "$work/check.txt" || status=$?
check_time=$(echo "$(now) - $start" | bc -l)
if [ "$status" != 0 ]; then
    echo "the check found problems in a site without any:" >&2
    head -n 5 "$work/check.txt" >&2
    exit 1
fi
checked=$(tail -n1 "$work/check.txt" | sed -n 's/.* on \([0-9]*\) pages\{0,1\},.*/\1/p')
if [ -z "$checked" ] || [ "$checked" -lt "$pages" ]; then
    echo "the check asked for ${checked:-no} pages of $pages" >&2
    exit 1
fi

for i in $(seq 0 $((checked - 1))); do echo "${site_url}p$i.htm"; done > "$work/urls.txt"
start=$(now)
wget -q -O /dev/null -i "$work/urls.txt" || true
wget_time=$(echo "$(now) - $start" | bc -l)

tail -n1 "$work/check.txt"
printf 'link check, 20 ms per response: tamblin-cli check --links %d pages in %.2f s, wget %d GETs one after another %.2f s, ratio %.3f\n' \
    "$checked" "$check_time" "$checked" "$wget_time" "$(echo "$check_time / $wget_time" | bc -l)"
