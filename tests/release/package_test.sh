#!/usr/bin/env bash
# The 64-bit zip made from this build: what it holds, stripped programs, the readme, the
# checksums, and the same bytes from two runs that differ in folder, file times, time zone
# and umask.
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${VAULTICK_BUILD:-$root/build}"
bin="$build/x86_64/bin"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failures=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi; }

# Each run gets its own copy of the built files, so that their times can differ.
for run in a b; do
    mkdir -p "$scratch/$run/x86_64/bin"
    cp "$bin/DorviVaultick.exe" "$bin/Sweepex.exe" "$bin/DorviVaultick.Hlp" "$scratch/$run/x86_64/bin/"
done
touch -d '2001-02-03 04:05:06' "$scratch/b/x86_64/bin/"*
(cd / && umask 022 && TZ=UTC python3 "$root/scripts/lib/pack.py" "$scratch/a" "$scratch/out-a" x86_64) \
    >"$scratch/a.log" 2>&1
first=$?
(cd "$scratch" && umask 077 && TZ=Pacific/Auckland python3 "$root/scripts/lib/pack.py" "$scratch/b" "$scratch/out-b" x86_64) \
    >"$scratch/b.log" 2>&1
second=$?
cat "$scratch/a.log" "$scratch/b.log"
check "both runs end well" '[ "$first" -eq 0 ] && [ "$second" -eq 0 ]'
zip=vaultick-3.7-win64.zip
debug=vaultick-3.7-win64.debug.zip
check "two runs give the same zip" 'cmp "$scratch/out-a/$zip" "$scratch/out-b/$zip"'
check "two runs give the same symbols" 'cmp "$scratch/out-a/$debug" "$scratch/out-b/$debug"'
check "SHA256SUMS matches every zip beside it" '(cd "$scratch/out-a" && sha256sum --check --strict --quiet SHA256SUMS)'
check "SHA256SUMS names every zip and nothing else" \
    '[ "$(cut -c67- "$scratch/out-a/SHA256SUMS")" = "$(cd "$scratch/out-a" && LC_ALL=C ls *.zip)" ]'

# What is inside, read as a user's unzip would.
python3 - "$scratch/out-a" "$bin" "$root" "$build" <<'PY' || failures=$((failures + 1))
import pathlib, struct, subprocess, sys, time, zipfile
out, bin_dir, root, build = (pathlib.Path(a) for a in sys.argv[1:])
problems = []
def expect(condition, what):
    print(("ok: " if condition else "FAILED: ") + what)
    if not condition:
        problems.append(what)

def pe(data):
    """(time stamp, symbol count) of a PE file."""
    at = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[at:at + 4] == b"PE\0\0"
    machine, sections, stamp, symbols_at, symbols = struct.unpack_from("<HHIII", data, at + 4)
    return stamp, symbols

commit = int(subprocess.run(["git", "-C", str(root), "log", "-1", "--format=%ct"],
                            capture_output=True, text=True, check=True).stdout)
with zipfile.ZipFile(out / "vaultick-3.7-win64.zip") as archive:
    names = archive.namelist()
    expect(names == ["Vaultick/DorviVaultick.exe", "Vaultick/Sweepex.exe", "Vaultick/DorviVaultick.Hlp",
                     "Vaultick/LEGGIMI.txt"], f"the zip holds the programs, the help file and the readme: {names}")
    expect(archive.testzip() is None, "every entry reads back whole")
    made = time.gmtime(commit)[:6]
    made = made[:5] + (made[5] // 2 * 2,)  # zip times count seconds in twos
    expect(all(i.date_time == made for i in archive.infolist()),
           "every entry carries the commit's time")
    for name in ("DorviVaultick.exe", "Sweepex.exe"):
        data = archive.read(f"Vaultick/{name}")
        built = (bin_dir / name).read_bytes()
        stamp, symbols = pe(data)
        expect(len(data) < 1.5 * 1024 * 1024, f"{name} is under 1.5 MB ({len(data)} bytes)")
        expect(len(data) < len(built) and symbols == 0, f"{name} carries no symbols")
        expect(stamp == 0, f"{name} carries no build time")
        expect(f"{name}.debug".encode() + b"\0" in data, f"{name} names its symbol file")
        expect(str(root).encode() not in data and str(build).encode() not in data,
               f"{name} holds no folder of this checkout")
    expect(archive.read("Vaultick/DorviVaultick.Hlp") == (bin_dir / "DorviVaultick.Hlp").read_bytes(),
           "the help file is the built one")
    readme = archive.read("Vaultick/LEGGIMI.txt")
    text = readme.decode("utf-8-sig")
    expect(readme.startswith(b"\xef\xbb\xbf") and b"\n" not in readme.replace(b"\r\n", b""),
           "LEGGIMI.txt is UTF-8 with its mark and CR LF line ends, for Notepad")
    for fact in ("DorviVaultick.exe", "Rimuovi Vaultick", "HKEY_CURRENT_USER\\Software\\Dorvi\\DorviVaultick3.7",
                 "Vaultick.log", "%APPDATA%\\Dorvi\\Vaultick", "Windows 7"):
        expect(fact in text, f"LEGGIMI.txt tells {fact}")
with zipfile.ZipFile(out / "vaultick-3.7-win64.debug.zip") as archive:
    names = archive.namelist()
    expect(names == ["Vaultick/DorviVaultick.exe.debug", "Vaultick/Sweepex.exe.debug"],
           f"the symbols come in their own zip: {names}")
    for name in names:
        expect(pe(archive.read(name))[1] > 1000, f"{name} holds the symbols")
sys.exit(1 if problems else 0)
PY

# The stripped programs still start: Sweepex without arguments ends at once, the main program
# under another name ends before any window; each as the built one does.
unpacked="$scratch/unpacked"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$scratch/out-a/$zip" "$unpacked"
cp "$unpacked/Vaultick/DorviVaultick.exe" "$unpacked/Vaultick/Prova.exe"
cp "$bin/DorviVaultick.exe" "$unpacked/Originale.exe"
ends() { timeout 120 wine "$@" </dev/null >/dev/null 2>&1; echo $?; }
check "the stripped Sweepex runs as the built one" \
    '[ "$(ends "$unpacked/Vaultick/Sweepex.exe")" = "$(ends "$bin/Sweepex.exe")" ]'
check "the stripped main program runs as the built one" \
    '[ "$(ends "$unpacked/Vaultick/Prova.exe")" = "$(ends "$unpacked/Originale.exe")" ]'

[ "$failures" -eq 0 ]
