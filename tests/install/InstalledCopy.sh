#!/usr/bin/env bash
# Installs the build into a scratch root with DESTDIR and the prefix a package uses, then
# runs the installed programs from there: each must find the help, the topic map, Redist/
# and the browser plugin through its own location, with nothing of the build tree.
# Arguments: the cmake program and the build directory.
set -euo pipefail
cmake_program=$1
build=$2

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" "$cmake_program" --install "$build" --prefix /usr > "$root/install.log"
prefix="$root/usr"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
for path in bin/tamblin bin/lumio bin/tamblin-cli lib/tamblin/tamblin-browser.so \
    share/tamblin/Tamblin.HM share/tamblin/Doc/Tamblin/Contents.htm \
    share/tamblin/Doc/Tamblin/IDD_GETTING_STARTED.htm share/tamblin/Redist \
    share/applications/tamblin.desktop share/man/man1/tamblin-cli.1; do
    [ -e "$prefix/$path" ] || fail "not installed: $path"
done

# The command-line program works from there: an index of the installed help pages, built,
# checked and converted.
cli="$prefix/bin/tamblin-cli"
"$cli" --help > /dev/null || fail "tamblin-cli --help"
"$cli" scan "$prefix/share/tamblin/Doc/Tamblin/Contents.htm" -o "$root/help.xo" \
    > "$root/scan.txt" 2>&1 || fail "tamblin-cli scan"
"$cli" check "$root/help.xo" > "$root/check.txt" || fail "tamblin-cli check"
"$cli" convert "$root/help.xo" "$root/converted.xo" || fail "tamblin-cli convert"
"$cli" check "$root/converted.xo" > /dev/null || fail "check converted"

# The desktop's own checkers accept the entry and the metainfo as installed.
desktop-file-validate "$prefix/share/applications/tamblin.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml || fail "metainfo"

# Both programs report what they find; every line must point into the installed copy.
export QT_QPA_PLATFORM=offscreen
for program in tamblin lumio; do
    if ! "$prefix/bin/$program" --print-paths > "$root/$program.txt" 2> "$root/$program.err"; then
        cat "$root/$program.txt" "$root/$program.err" >&2
        fail "$program does not find everything"
    fi
    cat "$root/$program.txt"
    grep -q "^help pages: $prefix/share/tamblin/Doc/Tamblin/$" "$root/$program.txt" ||
        fail "$program: help pages"
    grep -q "^topic map: $prefix/share/tamblin/Tamblin.HM$" "$root/$program.txt" ||
        fail "$program: topic map"
    grep -q "^redistributables: $prefix/share/tamblin/Redist/$" "$root/$program.txt" ||
        fail "$program: Redist"
    grep -q "^browser plugin: $prefix/lib/tamblin/tamblin-browser.so$" "$root/$program.txt" ||
        fail "$program: browser plugin"
done
echo "installed copy complete"
