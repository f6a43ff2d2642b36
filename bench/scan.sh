#!/usr/bin/env bash
# Scanning a generated site of PAGES pages (default 20000):
#  (a) file mode: pages per second and MB per second of tamblin-cli scan;
#  (b) URL mode: the same site on loopback, every response delayed by 20 ms; the time of
#      tamblin-cli scan (--jobs 4, the default) against wget -r --spider on the same server
#      in the same run, and their ratio.
#   bash bench/scan.sh [PAGES]
pages=${1:-20000}
source "$(dirname "$0")/site_server.sh"
bytes=$(cat "$work/site"/*.htm | wc -c)

# (a) file mode, best of three.
best=""
for _ in 1 2 3; do
    start=$(now)
    "$bin/tamblin-cli" scan "$work/site/p0.htm" -o "$work/files.xo" --raw > "$work/files.txt"
    t=$(echo "$(now) - $start" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
done
read_pages=$(grep -c '^5;' "$work/files.xo")
printf 'file mode: %d pages, %d bytes in %.3f s: %.0f pages/s, %.1f MB/s\n' \
    "$read_pages" "$bytes" "$best" "$(echo "$read_pages / $best" | bc -l)" \
    "$(echo "$bytes / $best / 1000000" | bc -l)"

# (b) URL mode against wget on one delaying server.
start_server 20
url="${site_url}p0.htm"

start=$(now)
"$bin/tamblin-cli" scan "$url" -o "$work/web.xo" --raw > "$work/web.txt"
scan_time=$(echo "$(now) - $start" | bc -l)
web_pages=$(grep -c '^5;' "$work/web.xo")

start=$(now)
(cd "$work" && wget -r -l inf --spider -q "$url" || true)
wget_time=$(echo "$(now) - $start" | bc -l)

printf 'URL mode, 20 ms per response: tamblin-cli scan %d pages in %.2f s, wget -r --spider %.2f s, ratio %.3f (target <= 0.3)\n' \
    "$web_pages" "$scan_time" "$wget_time" "$(echo "$scan_time / $wget_time" | bc -l)"
# Past the base URL record, both scans must have written the same records.
if ! cmp -s <(tail -n +4 "$work/files.xo") <(tail -n +4 "$work/web.xo"); then
    echo "the URL scan wrote other records than the file scan" >&2
    exit 1
fi
