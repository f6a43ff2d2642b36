#!/usr/bin/env bash
# The script viewer in chromium against fetching and splitting its index file; see
# bench/webviewer_chromium.js.
#   bash bench/webviewer_chromium.sh [ENTRIES] [KEYWORDS_PER_ENTRY] [DOCS_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build
modules=$build/tests/chromium/packages/node_modules
[ -f "$modules/playwright-core/package.json" ] \
    || bash tests/chromium/install-packages.sh tests/chromium "$build/tests/chromium/packages"
TAMBLIN_CLI=$build/bin/tamblin-cli TAMBLIN_BIN=$build/bin TAMBLIN_NODE_MODULES=$modules \
    exec node bench/webviewer_chromium.js "$@"
