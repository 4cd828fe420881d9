#!/usr/bin/env bash
# The installer under Wine: `setup.exe /S` installs the files, registers the
# add-ins, enters them in vbaddin.ini (beside a line of another add-in), makes
# the Start-menu entries and the uninstall entry; `uninstall.exe /S` takes all
# of it away again and leaves the other line.
#   installer_test.sh SETUP.EXE
set -euo pipefail
setup=$1
c="$WINEPREFIX/drive_c"
dir="$c/Program Files (x86)/Tarnwick"
menu="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tarnwick"
ini="$c/windows/vbaddin.ini"
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick'
addins='HKCU\Software\Microsoft\Visual Basic\6.0\Addins'
progids="Quillon.Connect Config.Connect WendoverAgent.Connect"
fail=0
no() { echo "FAIL: $*"; fail=1; }
has_key() { wine reg query "$1" /reg:32 >/dev/null 2>&1; }
ini_lines() { tr -d '\r' <"$ini" 2>/dev/null | sed '/^$/d' || true; }

printf '[Add-Ins32]\r\nSomeone.Else=1\r\n' >"$ini"
wine "$setup" /S || no "setup.exe /S failed"

for f in larkspur.exe fenmoor.exe tarnwick.exe Quillon.dll Config.dll Wendover.dll uninstall.exe; do
    [ -f "$dir/$f" ] || no "$f not installed"
done
for f in Larkspur.lnk Fenmoor.lnk; do [ -f "$menu/$f" ] || no "no Start-menu entry $f"; done
for p in $progids; do
    has_key "HKCR\\$p\\CLSID" || no "$p not registered"
    has_key "$addins\\$p" || no "$p has no Addins entry"
done
wine reg query "$uninstall" /v DisplayName /reg:32 2>/dev/null | tr -d '\r' | grep -q 'Tarnwick' || no "no uninstall entry"
expected=$'[Add-Ins32]\nSomeone.Else=1\nQuillon.Connect=1\nConfig.Connect=1\nWendoverAgent.Connect=1'
[ "$(ini_lines)" = "$expected" ] || no "vbaddin.ini after install: $(ini_lines)"

wine "$dir/uninstall.exe" /S || no "uninstall.exe /S failed"
# The uninstaller runs from a copy of itself: wait until it is done.
for _ in $(seq 100); do [ -e "$dir" ] || break; sleep 0.2; done

[ -e "$dir" ] && no "install folder left: $(ls "$dir")"
[ -e "$menu" ] && no "Start-menu folder left"
for p in $progids; do
    has_key "HKCR\\$p" && no "$p still registered"
    has_key "$addins\\$p" && no "$p Addins entry left"
done
has_key "$uninstall" && no "uninstall entry left"
[ "$(ini_lines)" = $'[Add-Ins32]\nSomeone.Else=1' ] || no "vbaddin.ini after uninstall: $(ini_lines)"
rm -f "$ini"
[ $fail = 0 ] && echo "installed and uninstalled exactly"
exit $fail
