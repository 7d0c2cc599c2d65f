#!/usr/bin/env bash
# The scripts never delete a Wine prefix they did not make: a user's prefix is used as it is,
# and scripts/run starts the program from it; only a prefix the scripts began is made again.
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
source "$root/scripts/lib/wine.sh"
scratch="$(mktemp -d)"
failures=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi; }
cleanup() {
    local p
    for p in "$scratch"/*/; do WINEPREFIX="${p%/}" wineserver -k >/dev/null 2>&1 || true; done
    rm -rf "$scratch"
}
trap cleanup EXIT

# Somebody else's prefix, holding a file of its own.
theirs="$scratch/theirs"
mkdir -p "$theirs"
echo "da non toccare" >"$theirs/mine.txt"
prepare_prefix "$theirs"
check "a foreign prefix keeps its files" '[ "$(cat "$theirs/mine.txt")" = "da non toccare" ]'
check "a foreign prefix is not marked as ours" '[ ! -e "$theirs/.vaultick-ready" ]'

# scripts/run against it: the program is copied in and started, the user's file survives.
(WINEPREFIX="$theirs" timeout 300 "$root/scripts/run" >"$scratch/run.log" 2>&1 &)
program="$theirs/drive_c/Program Files/Dorvi/Vaultick/DorviVaultick.exe"
for _ in $(seq 1 600); do
    [ -f "$program" ] && [ -f "$theirs/system.reg" ] && break
    sleep 0.5
done
WINEPREFIX="$theirs" wineserver -k >/dev/null 2>&1 || true
check "scripts/run copies the program into a foreign prefix" '[ -f "$program" ]'
check "scripts/run keeps the foreign prefix's own file" '[ "$(cat "$theirs/mine.txt")" = "da non toccare" ]'

# A link to a prefix on a disk that is not there: the link stays.
dangling="$scratch/dangling"
ln -s "$scratch/not-mounted" "$dangling"
prepare_prefix "$dangling"
check "a link to a missing prefix is left as it is" '[ -L "$dangling" ] && [ ! -e "$scratch/not-mounted" ]'

# A prefix the scripts began and did not finish is made again, then marked.
ours="$scratch/ours"
mkdir -p "$ours"
touch "$ours/.vaultick-making" "$ours/half-made"
prepare_prefix "$ours"
check "an unfinished prefix of ours is made again" '[ ! -e "$ours/half-made" ] && [ -f "$ours/system.reg" ]'
check "a finished prefix is marked ready" '[ -f "$ours/.vaultick-ready" ] && [ ! -e "$ours/.vaultick-making" ]'

[ "$failures" -eq 0 ]
