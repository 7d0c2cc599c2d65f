"""Makes the zip files for Windows users from built programs.

    pack.py <build root> <output folder> <target>...      (target: x86_64 or i686)

For each target: vaultick-3.7-<win64|win32>.zip with the stripped programs, the help file and
LEGGIMI.txt under Vaultick/, and vaultick-3.7-<...>.debug.zip with the programs' symbols.
SHA256SUMS in the output folder lists every zip made. The same inputs give the same bytes:
entries in a fixed order, one file time taken from the commit, fixed attributes.
"""
import hashlib
import os
import pathlib
import subprocess
import sys
import tempfile
import time
import zipfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
VERSION = "3.7"
NAMES = {"x86_64": "win64", "i686": "win32"}
PROGRAMS = ("DorviVaultick.exe", "Sweepex.exe")
FOLDER = "Vaultick"


def file_time():
    """The time every entry carries: SOURCE_DATE_EPOCH, else the commit's time."""
    if os.environ.get("SOURCE_DATE_EPOCH"):
        seconds = int(os.environ["SOURCE_DATE_EPOCH"])
    else:
        seconds = int(subprocess.run(["git", "-C", str(ROOT), "log", "-1", "--format=%ct"],
                                     check=True, capture_output=True, text=True).stdout.strip())
    # Zip times have no zone and start in 1980; UTC keeps them the same in every zone.
    return max(time.gmtime(seconds)[:6], (1980, 1, 1, 0, 0, 0))


def leggimi():
    """The readme as Windows' Notepad reads it: UTF-8 with its mark, CR LF."""
    text = (ROOT / "resources" / "LEGGIMI.txt").read_text(encoding="utf-8")
    return b"\xef\xbb\xbf" + text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def add(archive, name, data, when):
    entry = zipfile.ZipInfo(f"{FOLDER}/{name}", date_time=when)
    entry.compress_type = zipfile.ZIP_DEFLATED
    entry.create_system = 0        # made on Windows: attributes in the low byte
    entry.external_attr = 0x20     # FILE_ATTRIBUTE_ARCHIVE, as a copied file has
    archive.writestr(entry, data, compress_type=zipfile.ZIP_DEFLATED, compresslevel=9)


def write_zip(path, entries, when):
    # Written aside and moved, so that a failed run leaves no half zip under the real name.
    partial = path.with_name(path.name + ".part")
    with zipfile.ZipFile(partial, "w") as archive:
        for name, data in entries:
            add(archive, name, data, when)
    partial.replace(path)


def split_symbols(target, program, work):
    """The stripped program and its symbols, both as bytes; the built file is left alone."""
    tools = f"{target}-w64-mingw32-"
    debug = work / f"{program.name}.debug"
    stripped = work / program.name
    # objcopy and strip stamp the PE header with the time of day unless told this one; zero,
    # as the linker leaves it.
    quiet = dict(os.environ, SOURCE_DATE_EPOCH="0")
    run = lambda *command: subprocess.run(command, check=True, env=quiet, cwd=work)
    run(tools + "objcopy", "--only-keep-debug", str(program), str(debug))
    run(tools + "strip", "--strip-all", "-o", str(stripped), str(program))
    # gdb finds the symbols beside the program through this link (name and checksum only).
    run(tools + "objcopy", f"--add-gnu-debuglink={debug}", str(stripped))
    return stripped.read_bytes(), debug.read_bytes()


def pack(build, out, target, when):
    bin_dir = build / target / "bin"
    base = f"vaultick-{VERSION}-{NAMES[target]}"
    programs, symbols = [], []
    with tempfile.TemporaryDirectory() as temp:
        for name in PROGRAMS:
            stripped, debug = split_symbols(target, bin_dir / name, pathlib.Path(temp))
            programs.append((name, stripped))
            symbols.append((f"{name}.debug", debug))
    help_file = (bin_dir / "DorviVaultick.Hlp").read_bytes()
    made = [out / f"{base}.zip", out / f"{base}.debug.zip"]
    write_zip(made[0], programs + [("DorviVaultick.Hlp", help_file), ("LEGGIMI.txt", leggimi())], when)
    write_zip(made[1], symbols, when)
    return made


def main(argv):
    if len(argv) < 4 or any(target not in NAMES for target in argv[3:]):
        sys.exit("usage: pack.py <build root> <output folder> x86_64|i686...")
    build, out = pathlib.Path(argv[1]), pathlib.Path(argv[2])
    out.mkdir(parents=True, exist_ok=True)
    when = file_time()
    made = []
    for target in argv[3:]:
        made += pack(build, out, target, when)
    lines = [f"{hashlib.sha256(path.read_bytes()).hexdigest()}  {path.name}\n" for path in sorted(made)]
    (out / "SHA256SUMS").write_text("".join(lines), encoding="ascii", newline="\n")
    for path in made + [out / "SHA256SUMS"]:
        print(path)


if __name__ == "__main__":
    main(sys.argv)
