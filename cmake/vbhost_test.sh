#!/usr/bin/env bash
# vbhost.exe under Wine: it loads the add-ins its list file marks, by ProgID,
# chooses a command as a person would, and reports an add-in that does not
# load while the others work.
#   vbhost_test.sh BIN_DIR
set -euo pipefail
bin=$1
work=$(mktemp -d)
dll=$(winepath -w "$work/Wendover.dll")
trap 'wine regsvr32 /u /s "$dll" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
cp "$bin/Wendover.dll" "$work/"   # its settings file would land beside it
wine regsvr32 /s "$dll"
printf '[Add-Ins32]\r\nMissing.Connect=1\r\nWendoverAgent.Connect=1\r\n' >"$work/vbaddin.ini"
set +e
out=$(wine "$bin/vbhost.exe" --ini "$(winepath -w "$work/vbaddin.ini")" \
      --click "Menu Bar/View/&Max Work Area" --menus | tr -d '\r')
status=$?
set -e
fail=0
check() { grep -qxF -- "$1" <<<"$out" || { echo "FAIL: no line '$1'"; fail=1; }; }
check "  &Restore Work Area"
check "  VB &Wendover Agent..."
grep -q "^reported: Add-in 'Missing.Connect' could not be loaded" <<<"$out" || { echo "FAIL: no report of Missing.Connect"; fail=1; }
[ "$(grep -c '^reported:' <<<"$out")" = 1 ] || { echo "FAIL: other reports"; fail=1; }
[ $status = 1 ] || { echo "FAIL: exit status $status, not 1"; fail=1; }
[ $fail = 0 ] || { echo "$out"; exit 1; }
echo "vbhost loaded Wendover by ProgID, toggled the work area and reported the missing add-in"
