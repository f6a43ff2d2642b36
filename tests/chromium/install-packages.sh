#!/usr/bin/env bash
# Installs the browser tests' npm packages (package-lock.json, exact versions) into DEST,
# once: a second run with the same lock file does nothing.
set -euo pipefail
src=$1
dest=$2
mkdir -p "$dest"
if cmp -s "$src/package-lock.json" "$dest/package-lock.json" \
    && [ -f "$dest/node_modules/playwright-core/package.json" ] \
    && [ -f "$dest/node_modules/axe-core/axe.min.js" ]; then
    exit 0
fi
command -v npm > /dev/null || { echo "npm is missing: run scripts/install-deps.sh" >&2; exit 1; }
cp "$src/package.json" "$src/package-lock.json" "$dest/"
cd "$dest"
npm ci --no-audit --no-fund --loglevel=error
