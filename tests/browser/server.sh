# shellcheck shell=bash disable=SC2154  # root: set by the script that sources this
# Shared by scripts/browser-test and bench/ui (sourced, with `root` set to
# the repository): installs playwright-core and serves a log folder with
# scripts/serve on a free loopback port in the background.

# Installs playwright-core (pinned in tests/browser/package.json) on the
# first run; npm's output goes to LOG_FILE.
ensure_playwright() {
  local log=$1
  [[ -d $root/tests/browser/node_modules/playwright-core ]] && return 0
  (cd "$root/tests/browser" && { npm ci --no-audit --no-fund || npm install --no-audit --no-fund; }) \
    >"$log" 2>&1 || { cat "$log" >&2; return 1; }
}

# start_server BUILD_DIR LOGS STATE_DIR LOG_FILE: sets `port` and
# `server_pid` (the caller's trap ends it); fails when lighttpd does not
# start listening within ten seconds.
start_server() {
  local build=$1 logs=$2 state=$3 log=$4
  port=$(node -e 'const s = require("net").createServer();
    s.listen(0, "127.0.0.1", () => { console.log(s.address().port); s.close(); });')
  PORT=$port KVO_LOCALE=C KVO_SERVE_LOGS=$logs KVO_SERVE_STATE=$state KVO_SERVE_NO_BUILD=1 \
    "$root/scripts/serve" "$build" >"$log" 2>&1 &
  server_pid=$!
  for _ in $(seq 100); do
    if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then return 0; fi
    kill -0 "$server_pid" 2>/dev/null || { cat "$log" >&2; return 1; }
    sleep 0.1
  done
  cat "$log" >&2
  return 1
}
