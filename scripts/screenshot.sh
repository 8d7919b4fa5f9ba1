#!/usr/bin/env bash
# Starts the real program under Wine in a desktop window of its own on a virtual display
# (Xvfb) and saves a picture of it.
#
#   bash scripts/screenshot.sh [OUTPUT.png]      (default: docs/screenshot.png)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
output=${1:-docs/screenshot.png}
case $output in /*) ;; *) output=$root/$output ;; esac

bash scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target quorvex >/dev/null
program=$root/build/win64/ui/quorvex.exe

source scripts/virtual-display.sh
start_virtual_display
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix} WINEDEBUG=-all
cleanup() {
    wineserver -k 2>/dev/null || true
    stop_virtual_display
}
trap cleanup EXIT

# Wine draws the desktop and the dialog's caption itself, as Windows would; Xvfb has no
# window manager to do it.
scripts/wine-run explorer /desktop=Quorvex,720x480 "$program" >/dev/null 2>&1 &

desktop=
for _ in $(seq 1 300); do
    desktop=$(xwininfo -root -tree 2>/dev/null | awk '/"Quorvex - Wine desktop"/ { print $1; exit }')
    [ -n "$desktop" ] && break
    sleep 0.1
done
[ -n "$desktop" ] || { echo "screenshot: the program's desktop never appeared" >&2; exit 1; }
sleep 3 # let the dialog open and paint
mkdir -p "$(dirname "$output")"
import -window "$desktop" "$output"
echo "$output"
