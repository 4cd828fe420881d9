#!/usr/bin/env bash
# Fills dist/windows/ with the Windows programs as they ship, and checks each:
# a 32-bit (i386) PE program, stripped, naming its debug information (copied
# beside it as NAME.exe.debug), with its manifest and version information.
#   dist_windows.sh BIN_FOLDER DIST_FOLDER PROGRAM...
set -euo pipefail
bin=$1 dist=$2
shift 2
objdump=i686-w64-mingw32-objdump
mkdir -p "$dist"
fail() { echo "dist_windows: $*" >&2; exit 1; }
for p in "$@"; do
    exe=$bin/$p.exe
    [ -f "$exe" ] || fail "$exe is not built"
    [ -f "$exe.debug" ] || fail "$exe.debug (its debug information) is missing"
    file -b "$exe" | grep '^PE32 executable .*Intel 80386' >/dev/null || fail "$p.exe is not a 32-bit program: $(file -b "$exe")"
    sections=$("$objdump" -h "$exe")
    if grep -q '\.debug_' <<<"$sections"; then fail "$p.exe still carries debug sections"; fi
    grep -q '\.gnu_debuglink' <<<"$sections" || fail "$p.exe does not name its debug information"
    grep -q '\.rsrc' <<<"$sections" || fail "$p.exe has no resources"
    strings -a "$exe" | grep 'requestedExecutionLevel' >/dev/null || fail "$p.exe has no manifest"
    strings -a -el "$exe" | grep -x "$p.exe" >/dev/null || fail "$p.exe has no version information"
    cp "$exe" "$exe.debug" "$dist/"
done
echo "dist_windows: $(cd "$dist" && echo *.exe) in $dist"
