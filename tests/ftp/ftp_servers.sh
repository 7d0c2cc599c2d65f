#!/usr/bin/env bash
# Starts (start) or stops (stop) the FTP test servers in the background; STATE_DIR holds the
# ports file, the transcripts and the pid. Start waits until every server listens.
# Usage: ftp_servers.sh start|stop STATE_DIR [ROOT]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
state="$2"
case "$1" in
  start)
    "$0" stop "$state" || true
    root="${3:-$state/root}"
    rm -rf "$state"
    mkdir -p "$state" "$root"
    # Debian's python3: another python3 first on PATH may lack pyftpdlib.
    nohup /usr/bin/python3 "$here/ftp_servers.py" "$root" "$state" </dev/null >"$state/server.log" 2>&1 &
    echo $! >"$state/pid"
    for _ in $(seq 1 100); do
      [ -f "$state/ports" ] && exit 0
      kill -0 "$(cat "$state/pid")" 2>/dev/null || break
      sleep 0.1
    done
    echo "FTP test servers did not start:" >&2
    cat "$state/server.log" >&2
    exit 1
    ;;
  stop)
    if [ -f "$state/pid" ]; then
      kill "$(cat "$state/pid")" 2>/dev/null || true
      rm -f "$state/pid"
    fi
    ;;
  *) echo "usage: ftp_servers.sh start|stop STATE_DIR [ROOT]" >&2; exit 2 ;;
esac
