#!/usr/bin/env bash
# Installs what is missing, builds the Windows program and opens it under Wine on this
# desktop. Where there is no display (a server, a container) it shows instead that the
# program works: it runs it on a virtual display, saves a screenshot and says where it is.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD

bash scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target quorvex
program=$root/build/win64/ui/quorvex.exe

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    # A prefix of its own, whose windows are ordinary windows of this desktop.
    export WINEPREFIX=${QUORVEX_RUN_PREFIX:-$root/build/wineprefix-app} QUORVEX_WINE_DESKTOP=0
    echo "Opening $program under Wine..."
    exec scripts/wine-run "$program"
fi

shot=$root/build/quorvex-screenshot.png
bash scripts/screenshot.sh "$shot" >/dev/null
cat <<MSG

Quorvex was built and ran: there is no display here, so it ran on a virtual display and
its window was saved as a picture:

    $shot

The program itself is a Windows dialog: to use it you need a desktop. Run this command
again in a graphical session (it opens the dialog under Wine there), or copy
$program to a Windows machine and run it.
MSG
