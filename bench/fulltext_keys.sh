#!/usr/bin/env bash
# The time per keystroke in the Search tab, in chromium over loopback http, against a site
# whose search index and page are written already, so the viewer can be timed again and again
# without scanning (bench/fulltext.sh times the same as part of its run):
#   bash bench/fulltext_keys.sh SITE_DIR QUERY...    (RUNS=N runs of each query, default 3)
# SITE_DIR holds Search.html beside site.xo and site.xo.search/, as written by
#   tamblin-cli scan START -o SITE_DIR/site.xo
#   (cd SITE_DIR && tamblin-cli searchpage --layout side --index site.xo -o Search.html)
# The viewer's files of this build (build/bin/Redist, or VIEWER=DIR) replace those beside the
# page first, so what is timed is the viewer just built (or another, to compare).
# Prints one JSON line per run (every keystroke in ms, in the order typed, and the floor: the same
# keys in a plain box of the same page, timed the same way) and the load average.
set -euo pipefail
bench=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
site=$(cd "$1" && pwd)
shift
redist=${VIEWER:-$bench/../build/bin/Redist}
[ -f "$redist/navora-web.js" ] || { echo "build the viewer first: cmake --build build --target webviewer" >&2; exit 1; }
rm -f "$site"/navora-web*
cp "$redist"/navora-web* "$site/"
source "$bench/scratch.sh"
source "$bench/serve.sh"
serve "$site"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
for query in "$@"; do
    for _ in $(seq "${RUNS:-3}"); do
        node "$bench/fulltext_query.js" "$site" "$port" ours "$query"
    done
done
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
