#!/usr/bin/env bash
# scripts/run on a machine without a display and without a prefix: the picture is taken only
# once the main window is on the screen, after the first start's restart through Sweepex, with
# the installation dialog of a first start over it.
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
scratch="$(mktemp -d)"
failures=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi; }
cleanup() {
    WINEPREFIX="$scratch/prefix" wineserver -k >/dev/null 2>&1 || true
    rm -rf "$scratch"
}
trap cleanup EXIT

build="${VAULTICK_BUILD:-$root/build}"
shot="$build/screenshots/run.png"
rm -f "$shot"
env -u DISPLAY WINEPREFIX="$scratch/prefix" timeout 600 "$root/scripts/run" >"$scratch/out" 2>"$scratch/err"
status=$?
sed 's/^/  run: /' "$scratch/out" "$scratch/err"

check "scripts/run ends well" '[ "$status" -eq 0 ]'
check "the main window was found visible" 'grep -qx "window: Dorvi Vaultick visible" "$scratch/out"'
check "the installation dialog of the first start was found visible" \
    'grep -qx "window: Vaultick - Installazione visible" "$scratch/out"'
check "nothing was reported as missing" '[ ! -s "$scratch/err" ]'
check "the program went through its manifest restart" \
    '[ -f "$scratch/prefix/drive_c/Program Files/Dorvi/Vaultick/DorviVaultick.exe.manifest" ]'
check "the picture was saved" '[ -s "$shot" ]'
# The empty desktop is one colour with a taskbar; two windows with their text give many more.
if [ -s "$shot" ]; then
    colours="$(convert "$shot" -format %k info:)"
    echo "  picture: $colours colours"
    check "the picture shows windows, not an empty desktop" '[ "$colours" -gt 40 ]'
fi

[ "$failures" -eq 0 ]
