#!/usr/bin/env bash
# The full-text search index of `tamblin-cli scan` against Pagefind (npm, installed here) in
# the same run, on Debian's python3.11-doc HTML and on a generated site of PAGES pages:
#  - time and peak memory of the scan with the search index against the scan without it and
#    against Pagefind indexing the same pages (best of three each);
#  - bytes written; bytes a reader's page fetches for a first one-word and three-word query
#    (all of them, the viewer's included, and those of the search alone), over loopback
#    http in chromium, and the time per keystroke.
#   bash bench/fulltext.sh [DOCS_DIR] [PAGES]      (RUNS=N: best of N instead of 3)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bin=$PWD/build/bin
source bench/scratch.sh
source bench/serve.sh
docs=${1:-/usr/share/doc/python3.11/html}
pages=${2:-20000}

# Nothing is deleted while the tools are timed, and every run writes where nothing was: on a
# file system without a journal (ext4 can be made so, and this project's machines are),
# creating a file passes over every inode freed in the last minutes, so a scan that came
# after the benchmark's own clean-up of thousands of files took 0.3 s longer for the same
# work. Pagefind is installed in a folder of its own for the same reason, and the disk is
# synced after it, which shortens the time the kernel counts an inode as just freed.
tools=$(mktemp -d)
trap 'cleanup; rm -rf "$tools"' EXIT
(cd "$tools" && npm install --no-save --no-audit --no-fund --silent pagefind@1.6.0 > /dev/null)
sync
pagefind="$tools/node_modules/.bin/pagefind"
"$pagefind" --version

# best_of3 NAME CMD...: sets NAME_time and NAME_mem (KB) to the best of $RUNS runs; "{N}" in
# CMD's arguments becomes the run's number, so that each run writes a new output.
best_of3() {
    local name=$1 best="" mem=0 n
    shift
    for n in $(seq "${RUNS:-3}"); do
        /usr/bin/time -f '%e %M' -o "$work/time" "${@//\{N\}/$n}" > /dev/null 2>&1
        read -r t m < "$work/time"
        if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; mem=$m; fi
    done
    printf -v "${name}_time" '%s' "$best"
    printf -v "${name}_mem" '%s' "$mem"
}

# run NAME SITE_DIR START ONE_WORD THREE_WORDS
run() {
    local name=$1 src=$2 start=$3 one=$4 three=$5
    local site="$work/$name"
    cp -r "$src" "$site"
    # The copy's pages are put on disk before any timing: the scan with words syncs its
    # search index, and would otherwise be charged for writing the copy out as well.
    sync
    local out="$site/site.xo"
    best_of3 plain "$bin/tamblin-cli" scan --no-full-text "$site/$start" -o "$site/plain-{N}.xo"
    best_of3 full "$bin/tamblin-cli" scan "$site/$start" -o "$site/full-{N}.xo"
    best_of3 pf "$pagefind" --site "$site" --glob '**/*.{htm,html}' --output-path "$work/pf-$name-{N}"
    mv "$site/full-1.xo" "$out"
    mv "$site/full-1.xo.search" "$out.search"
    mv "$work/pf-$name-1" "$work/pf-$name"
    local pages_read pf_pages written pf_written
    pages_read=$(grep -c '^5;' "$out")
    written=$(du -sb "$out.search" | cut -f1)
    pf_written=$(du -sb "$work/pf-$name" | cut -f1)
    printf '%s: %d pages\n' "$name" "$pages_read"
    printf '  scan without words %.2f s, %d MB; with words %.2f s, %d MB; ratio %.2f (aim <= 1.5)\n' \
        "$plain_time" $((plain_mem / 1024)) "$full_time" $((full_mem / 1024)) \
        "$(echo "$full_time / $plain_time" | bc -l)"
    printf '  Pagefind %.2f s, %d MB; Pagefind / scan with words %.1f (aim >= 5)\n' \
        "$pf_time" $((pf_mem / 1024)) "$(echo "$pf_time / $full_time" | bc -l)"
    printf '  written: search index %.1f MB, Pagefind %.1f MB\n' \
        "$(echo "$written / 1000000" | bc -l)" "$(echo "$pf_written / 1000000" | bc -l)"

    # The reader's side, over loopback http.
    (cd "$site" && "$bin/tamblin-cli" searchpage --layout side --index site.xo -o Search.html > /dev/null)
    rm -rf "$site/pagefind" && cp -r "$work/pf-$name" "$site/pagefind"
    printf '%s\n' '<!DOCTYPE html><html><head><title>Pagefind</title></head><body>' \
        '<script type="module">window.pagefind = await import("/pagefind/pagefind.js");' \
        'await window.pagefind.init(); window.pagefindReady = true;</script></body></html>' > "$site/pagefind_bench.html"
    # The scans' outputs (some 60 MB on the Python docs) are put on disk before the keys are
    # timed, so that neither tool's keystrokes share the machine with their write-back.
    sync
    serve "$site"
    for query in "$one" "$three"; do
        node bench/fulltext_query.js "$site" "$port" ours "$query"
        node bench/fulltext_query.js "$site" "$port" pagefind "$query"
    done
    unserve
}

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
run python "$docs" index.html walrus "read file lines"
python3 bench/gen_site.py "$work/gen" "$pages"
run generated "$work/gen" p0.htm lorem "lorem ipsum dolor"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
