#!/usr/bin/env bash
# Starts Wakeline in a virtual X display, optionally drives it, and saves a PNG of the screen.
#   scripts/screenshot.sh OUT.png [ACTIONS] [-- PROGRAM ARGUMENTS]
# ACTIONS is a bash file run once the program shows, with xdotool at hand; a fresh program
# folder is used unless --program-folder is given among the program arguments.
# WAKELINE_SCREEN=WxH sets the virtual screen (default 1280x1024).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="$(realpath -m "${1:?usage: screenshot.sh OUT.png [ACTIONS] [-- ARGS]}")"; shift
actions=""
if [ $# -gt 0 ] && [ "$1" != "--" ]; then actions="$(realpath "$1")"; shift; fi
[ $# -gt 0 ] && [ "$1" = "--" ] && shift
WAKELINE_EXTRA_PACKAGES="xvfb xauth xdotool imagemagick" "$here/deps.sh"
"$here/build.sh" wakeline >/dev/null
program="$here/../${WAKELINE_BUILD_DIR:-build}/src/wakeline"
args=("$@")
if [[ " ${args[*]-} " != *" --program-folder "* ]]; then
    args+=(--program-folder "$(mktemp -d)")
fi
size="${WAKELINE_SCREEN:-1280x1024}"
export program out actions
xvfb-run -a -s "-screen 0 ${size}x24" bash -c '
    "$program" "$@" &
    pid=$!
    for _ in $(seq 50); do xdotool search --name "Wakeline" >/dev/null 2>&1 && break; sleep 0.2; done
    sleep 1
    if [ -n "$actions" ]; then source "$actions"; fi
    sleep 0.5
    import -window root "$out"
    kill $pid 2>/dev/null || true
' _ "${args[@]}"
# WAKELINE_TRIM=1 crops the empty (black) root window around the program's windows.
if [ "${WAKELINE_TRIM:-}" = "1" ]; then convert "$out" -trim +repage "$out"; fi
echo "saved $out"
