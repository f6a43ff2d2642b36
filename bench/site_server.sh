# Sourced by the site benchmarks: a scratch folder, a generated site of $pages pages in
# $work/site, and the means to serve it on loopback with every answer delayed.
#   pages=N; source bench/site_server.sh; start_server 20   # sets $site_url
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bin=build/bin
source bench/scratch.sh

python3 bench/gen_site.py "$work/site" "$pages"

# Serves $work/site, each answer after DELAY_MS; $site_url is its root, ending in "/".
start_server() {
    python3 bench/serve_delayed.py "$work/site" "$1" > "$work/port" &
    server=$!
    for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
    site_url="http://127.0.0.1:$(head -n1 "$work/port")/"
}
