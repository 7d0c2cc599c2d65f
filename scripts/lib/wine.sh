# Shared by the scripts: an isolated Wine prefix, a virtual display and their clean-up.
# Source it; then call prepare_prefix, ensure_display, start_wineserver, and stop_started in a trap.

export WINEDEBUG="${WINEDEBUG:--all}"
# No .desktop files or menu entries in the Linux home; no .NET or Gecko installers.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
WINE=wine

started_xvfb_pid=""
started_wineserver=""

# Runs a Wine command, quietly, up to three times.
retry_wine() {
    local attempt
    for attempt in 1 2 3; do
        "$@" </dev/null >/dev/null 2>&1 && return 0
        wineserver -w >/dev/null 2>&1 || true
        sleep 1
    done
    echo "wine: '$*' failed three times" >&2
    return 1
}

# Makes a prefix that does not exist yet, once, and marks it; its user folders are real folders,
# not links into $HOME. A prefix that exists without our mark is somebody else's (a user's
# ~/.wine): it is used as it is and never deleted. Only a prefix we began and did not finish
# (".vaultick-making" in it) is made again.
prepare_prefix() {
    local prefix="$1"
    export WINEPREFIX="$prefix"
    if [ -f "$prefix/.vaultick-ready" ]; then return 0; fi
    # A link counts as existing even when what it leads to is missing (an unmounted disk).
    if { [ -e "$prefix" ] || [ -L "$prefix" ]; } && [ ! -f "$prefix/.vaultick-making" ]; then return 0; fi
    rm -rf "$prefix"
    mkdir -p "$prefix"
    touch "$prefix/.vaultick-making"
    retry_wine wineboot -i
    wineserver -w || true
    local users="$prefix/drive_c/users/$(id -un)"
    local link
    for link in Desktop Documents Downloads Music Pictures Videos Templates; do
        if [ -L "$users/$link" ]; then rm -f "$users/$link"; mkdir -p "$users/$link"; fi
    done
    # Wine does not always find the fonts of fonts-wine by itself; the caption buttons need Marlett.
    cp -n /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    # A virtual desktop: frames, a taskbar with the tray, and fast hiding of windows. On a busy
    # machine the first command after the prefix was made has been seen to fail once (exit 127).
    retry_wine $WINE reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
    retry_wine $WINE reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1000 /f
    wineserver -w || true
    touch "$prefix/.vaultick-ready"
    rm -f "$prefix/.vaultick-making"
}

# Starts Xvfb on a free display when there is no display.
ensure_display() {
    if [ -n "${DISPLAY:-}" ]; then return 0; fi
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    started_xvfb_pid=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && return 0
        sleep 0.1
    done
    echo "Xvfb did not start on :$n" >&2
    return 1
}

# A persistent wineserver and the Wine services, started with no pipe attached, so that the
# first program run through ctest does not hold ctest's output open.
start_wineserver() {
    # Fails harmlessly when a server already runs for this prefix.
    wineserver -p </dev/null >/dev/null 2>&1 || true
    $WINE cmd /c exit </dev/null >/dev/null 2>&1
    started_wineserver=1
}

stop_started() {
    if [ -n "$started_wineserver" ]; then wineserver -k >/dev/null 2>&1 || true; fi
    if [ -n "$started_xvfb_pid" ]; then kill "$started_xvfb_pid" 2>/dev/null || true; fi
    started_wineserver=""
    started_xvfb_pid=""
}
