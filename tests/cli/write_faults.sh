#!/bin/bash
# A scan whose records or OUT cannot be written fails with the system's reason, exits 2 and
# leaves the old OUT as it was: $TMPDIR on a full file system, OUT's folder full, read-only
# or missing. The small file systems are tmpfs mounts in a mount namespace of this script's
# own, so it needs root; without it the test is skipped.
#   write_faults.sh TAMBLIN_CLI GEN_SITE_PY
set -u
cli=$1
gen_site=$2
if [ "${3:-}" != inner ]; then
    if [ "$(id -u)" != 0 ] || ! unshare -m true 2>/dev/null; then
        echo "skipped: needs root and mount namespaces for small file systems"
        exit 77
    fi
    exec unshare -m --propagation private bash "$0" "$cli" "$gen_site" inner
fi

work=$(mktemp -d)
trap 'umount "$work"/tmp "$work"/full "$work"/ro 2>/dev/null; rm -rf "$work"' EXIT
export SOURCE_DATE_EPOCH=1796515200
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

python3 "$gen_site" "$work/site" 300 > /dev/null
start="$work/site/index.htm"
[ -f "$start" ] || start="$work/site/p0.htm"
mkdir -p "$work/tmp" "$work/full" "$work/ro" "$work/out"
"$cli" scan "$start" -o "$work/out/scanned.xo" > /dev/null 2>&1 || fail "a first scan"

# A tmpfs with no byte left; files can still be made in it, but nothing written.
fill() {
    mount -t tmpfs -o size=128k tmpfs "$1"
    [ -n "${2:-}" ] && printf 'OLD INDEX\r\n' > "$1/old.xo"
    dd if=/dev/zero of="$1/filler" bs=4k 2> /dev/null
}

# expect_failure NAME OLD_FILE REASON COMMAND...: exit 2, the reason said, OLD_FILE kept.
expect_failure() {
    local name=$1 old=$2 reason=$3
    shift 3
    local before
    before=$(sha256sum < "$old")
    "$@" > "$work/stdout" 2> "$work/stderr"
    local code=$?
    [ "$code" = 2 ] || fail "$name: exit $code, not 2"
    [ -s "$work/stderr" ] || fail "$name: nothing said"
    grep -q "$reason" "$work/stderr" || fail "$name: no '$reason' in: $(cat "$work/stderr")"
    [ "$(sha256sum < "$old")" = "$before" ] || fail "$name: the old file was changed"
}

cp "$work/out/scanned.xo" "$work/out/old.xo"
fill "$work/tmp"
for raw in "" --raw; do
    expect_failure "full \$TMPDIR, scan $raw" "$work/out/old.xo" "No space left on device" \
        env TMPDIR="$work/tmp" "$cli" scan "$start" -o "$work/out/old.xo" $raw
done
expect_failure "full \$TMPDIR, rescan" "$work/out/old.xo" "No space left on device" \
    env TMPDIR="$work/tmp" "$cli" rescan "$work/out/scanned.xo" -o "$work/out/old.xo"
grep -q "pages found" "$work/stdout" && fail "full \$TMPDIR: a summary of success"
ls "$work/tmp" | grep -q XoTmp && fail "full \$TMPDIR: temporary files left behind"

fill "$work/full" old
for raw in "" --raw; do
    reason=$([ -n "$raw" ] && echo "No space left on device" || echo "Could not")
    expect_failure "full OUT folder, scan $raw" "$work/full/old.xo" "$reason" \
        "$cli" scan "$start" -o "$work/full/old.xo" $raw
done
expect_failure "full OUT folder, rescan" "$work/full/old.xo" "Could not" \
    "$cli" rescan "$work/out/scanned.xo" -o "$work/full/old.xo"

mount -t tmpfs -o size=128k tmpfs "$work/ro"
printf 'OLD INDEX\r\n' > "$work/ro/old.xo"
mount -o remount,ro "$work/ro"
for raw in "" --raw; do
    expect_failure "read-only folder, scan $raw" "$work/ro/old.xo" "Read-only file system" \
        "$cli" scan "$start" -o "$work/ro/old.xo" $raw
    # Refused before a single page is read.
    [ -s "$work/stdout" ] && fail "read-only folder: the scan ran: $(head -c 200 "$work/stdout")"
done
expect_failure "read-only folder, rescan" "$work/ro/old.xo" "Read-only file system" \
    "$cli" rescan "$work/out/scanned.xo" -o "$work/ro/old.xo"
"$cli" scan "$start" -o "$work/missing/o.xo" > /dev/null 2> "$work/stderr"
code=$?
[ "$code" = 2 ] || fail "missing folder: exit $code, not 2"
grep -q "No such file or directory" "$work/stderr" || fail "missing folder: no reason"

[ "$failures" = 0 ] && echo "all write faults reported"
exit $((failures > 0))
