#!/usr/bin/env bash
# Runs the whole-program tests again and again with both cores kept busy, as CI machines are.
# Not part of scripts/test. Usage: tests/e2e/stress.sh [runs] [ctest arguments...]
# Prints one line per run and a summary; exits non-zero when any run failed. The output of a
# failed run is kept in build/x86_64/stress/run-<n>.log.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
runs="${1:-10}"
shift || true

"$root/scripts/setup"
if ! command -v stress-ng >/dev/null; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends stress-ng >/dev/null
fi
"$root/scripts/build" x86_64 >/dev/null

source "$root/scripts/lib/wine.sh"
load_pid=""
finish() {
  if [ -n "$load_pid" ]; then kill "$load_pid" 2>/dev/null || true; fi
  stop_started
}
trap finish EXIT

unset LC_ALL LC_TIME LC_CTYPE LC_MESSAGES LANGUAGE
export LANG=en_US.UTF-8
export TZ=Europe/Rome

build="${VAULTICK_BUILD:-$root/build}/x86_64"
prepare_prefix "$build/wineprefix"
ensure_display
start_wineserver

# One CPU hog per core, for the whole series.
stress-ng --cpu "$(nproc)" --timeout 0 >/dev/null 2>&1 &
load_pid=$!

mkdir -p "$build/stress"
cd "$build"
failed=0
for n in $(seq 1 "$runs"); do
  start=$(date +%s)
  if ctest -R '^e2e_tests$' --output-on-failure "$@" >"stress/run-$n.log" 2>&1; then
    echo "run $n: passed ($(( $(date +%s) - start )) s)"
    rm -f "stress/run-$n.log"
  else
    echo "run $n: FAILED ($(( $(date +%s) - start )) s), see $build/stress/run-$n.log"
    grep -E '^\[  FAILED  \]' "stress/run-$n.log" | sort -u || true
    failed=$((failed + 1))
  fi
done
echo "stress: $((runs - failed)) of $runs runs passed with $(nproc) cores busy"
[ "$failed" -eq 0 ]
