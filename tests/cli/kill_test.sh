#!/bin/bash
# Kills convert, scan -o, scan --raw -o and rescan -o at random moments while they write
# onto an existing index: every time, OUT is either the old file or the whole new one.
#   kill_test.sh TAMBLIN_CLI GEN_SITE_PY [KILLS]
set -u
cli=$1
gen_site=$2
kills=${3:-20}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SOURCE_DATE_EPOCH=1796515200
failures=0

python3 "$gen_site" "$work/site" 1000 > /dev/null
start="$work/site/p0.htm"
"$cli" scan "$start" -o "$work/scanned.xo" > /dev/null 2>&1
"$cli" scan "$start" -o "$work/old.xo" --classic --description Old > /dev/null 2>&1

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# trial NAME COMMAND... (the command writes $work/out.xo)
trial() {
    local name=$1
    shift
    cp "$work/old.xo" "$work/out.xo"
    local began
    began=$(now_ms)
    "$@" > /dev/null 2>&1 || { echo "FAIL: $name does not run"; failures=$((failures + 1)); }
    local took=$(($(now_ms) - began + 1))
    cp "$work/out.xo" "$work/new.xo"
    local old=0 new=0 kill
    for kill in $(seq "$kills"); do
        cp "$work/old.xo" "$work/out.xo"
        "$@" > /dev/null 2>&1 &
        local pid=$!
        sleep "$(awk -v ms=$((RANDOM % (took + took / 5 + 1))) 'BEGIN { print ms / 1000 }')"
        kill -9 "$pid" 2> /dev/null
        wait "$pid" 2> /dev/null
        if cmp -s "$work/out.xo" "$work/old.xo"; then
            old=$((old + 1))
        elif cmp -s "$work/out.xo" "$work/new.xo"; then
            new=$((new + 1))
        else
            echo "FAIL: $name killed after about $took ms: OUT is neither the old nor the new file"
            failures=$((failures + 1))
        fi
    done
    echo "$name: $kills kills in ${took} ms runs, $old left the old file, $new the new one"
}

trial "convert" "$cli" convert "$work/scanned.xo" "$work/out.xo"
trial "scan -o" "$cli" scan "$start" -o "$work/out.xo"
trial "scan --raw -o" "$cli" scan "$start" --raw -o "$work/out.xo"
trial "rescan -o" "$cli" rescan "$work/scanned.xo" -o "$work/out.xo"
exit $((failures > 0))
