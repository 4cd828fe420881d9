#!/usr/bin/env bash
# vbhost.exe under Wine: it loads the add-ins its list file marks, by ProgID,
# chooses a command as a person would, and reports an add-in that does not
# load while the others work; --screenshot writes a picture of the dialog a
# command opens, the dialog's size, and the command goes on once it is closed.
#   vbhost_test.sh BIN_DIR SAMPLE_PROJECT_DIR
set -euo pipefail
bin=$1
samples=$2
run="$(dirname "$0")/wine_test.sh"   # `run` gives vbhost the tests' display
work=$(mktemp -d)
dll=$(winepath -w "$work/Wendover.dll")
quillon=$(winepath -w "$work/Quillon.dll")
trap 'wine regsvr32 /u /s "$dll" >/dev/null 2>&1 || true
      wine regsvr32 /u /s "$quillon" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
cp "$bin/Wendover.dll" "$bin/Quillon.dll" "$work/"   # Wendover's settings file would land beside it
wine regsvr32 /s "$dll"
wine regsvr32 /s "$quillon"
printf '[Add-Ins32]\r\nMissing.Connect=1\r\nWendoverAgent.Connect=1\r\n' >"$work/vbaddin.ini"
set +e
out=$("$run" run "$bin/vbhost.exe" --ini "$(winepath -w "$work/vbaddin.ini")" \
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

# A picture of Quillon's dialog: its client area is 4830 x 4140 twips, 322 x
# 276 pixels. Taking it closes the dialog, so the command ends as after
# Cancel and nothing is reported.
cp -r "$samples" "$work/project"
printf '[Add-Ins32]\r\nQuillon.Connect=1\r\n' >"$work/quillon.ini"
set +e
out=$("$run" run "$bin/vbhost.exe" --ini "$(winepath -w "$work/quillon.ini")" \
      --project "$(winepath -w "$work/project/Ledger.vbp")" --pane CAccount \
      --click "Menu Bar/Tools/Tarnwick Add Procedure..." --screenshot "$(winepath -w "$work/dialog.png")" |
      tr -d '\r')
status=$?
set -e
[ $status = 0 ] || { echo "FAIL: the screenshot run exited $status"; echo "$out"; exit 1; }
[ -s "$work/dialog.png" ] || { echo "FAIL: no dialog.png"; exit 1; }
size=$(od -An -tu1 -j16 -N8 "$work/dialog.png" | awk '{print $3*256+$4 "x" $7*256+$8}')
[ "$size" = 322x276 ] || { echo "FAIL: the picture is $size, the dialog 322x276"; exit 1; }

# A command that opens no window leaves nothing to take: reported.
set +e
out=$("$run" run "$bin/vbhost.exe" --ini "$(winepath -w "$work/vbaddin.ini")" \
      --click "Menu Bar/View/&Max Work Area" --screenshot "$(winepath -w "$work/none.png")" | tr -d '\r')
set -e
grep -q "^reported: Menu Bar/View/&Max Work Area: no window to take a picture of" <<<"$out" ||
    { echo "FAIL: a command without a window was not reported"; echo "$out"; exit 1; }
echo "vbhost loaded Wendover by ProgID, toggled the work area, reported the missing add-in and took a picture of Quillon's dialog"
