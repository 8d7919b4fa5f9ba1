#!/usr/bin/env bash
# Installs, from Debian's or Ubuntu's packages, whatever the build, the tests and the program
# need and this machine lacks. Safe to run again: it installs nothing that is present.
set -euo pipefail

packages=(
    cmake ninja-build g++ libgtest-dev googletest clang-format
    clang libclang-rt-14-dev
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    g++-mingw-w64-i686-posix binutils-mingw-w64-i686
    wine wine64 xvfb x11-utils imagemagick
    bsdutils
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update -q
# A release that names a package differently (the fuzzer runtime, say) must not stop the rest.
available=()
for package in "${missing[@]}"; do
    if apt-cache show "$package" >/dev/null 2>&1; then
        available+=("$package")
    else
        echo "install-deps: no package '$package' on this system; skipping it" >&2
    fi
done
[ ${#available[@]} -eq 0 ] && exit 0
echo "Installing: ${available[*]}"
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends \
    "${available[@]}"
