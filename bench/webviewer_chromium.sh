#!/usr/bin/env bash
# The script viewer in chromium against fetching and splitting its index file; see
# bench/webviewer_chromium.js.
#   bash bench/webviewer_chromium.sh [ENTRIES] [KEYWORDS_PER_ENTRY] [DOCS_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build
modules=$build/tests/chromium/packages/node_modules
# The real sites are Debian's documentation packages, installed here (never by the tests)
# when missing and this user may install; without them the benchmark leaves their sites out.
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo -n"
for package in python3.11-doc apache2-doc; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
        || $sudo apt-get install -y -qq --no-install-recommends "$package" > /dev/null \
        || echo "could not install $package: its site is left out" >&2
done
[ -f "$modules/playwright-core/package.json" ] \
    || bash tests/chromium/install-packages.sh tests/chromium "$build/tests/chromium/packages"
TAMBLIN_CLI=$build/bin/tamblin-cli TAMBLIN_BIN=$build/bin TAMBLIN_NODE_MODULES=$modules \
    exec node bench/webviewer_chromium.js "$@"
