#!/usr/bin/env bash
# tarnwick.exe safety --import under Wine: the system's registry editor that
# the program starts puts the component's category keys into the 32-bit view
# (where VB6's components are registered), none into the 64-bit one; the
# removal takes them out again.
#   safety_view_test.sh TARNWICK_EXE
set -euo pipefail
tarnwick=$1
clsid='{7A6E2F10-0000-4000-8000-00000000BEEF}'
progid=Tarnwick.ViewCheck
class="HKLM\\SOFTWARE\\Classes\\CLSID\\$clsid"
key="$class\\Implemented Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}"
launch="HKLM\\SYSTEM\\CurrentControlSet\\Services\\W3SVC\\Parameters\\ADCLaunch\\$progid"
fail=0
finds() { wine reg query "$1" "$2" </dev/null >/dev/null 2>&1; }
present() {  # present KEY VIEW
    finds "$1" "$2" || { echo "FAIL $1 is missing from the view $2"; fail=1; }
}
absent() {  # absent KEY VIEW
    ! finds "$1" "$2" || { echo "FAIL $1 is in the view $2"; fail=1; }
}
cleanup() {
    wine reg delete "$class" /reg:32 /f </dev/null >/dev/null 2>&1 || true
    wine reg delete "$class" /reg:64 /f </dev/null >/dev/null 2>&1 || true
    wine reg delete "$launch" /f </dev/null >/dev/null 2>&1 || true
}
trap cleanup EXIT
cleanup

absent "$key" /reg:32
wine "$tarnwick" safety --clsid "$clsid" --progid "$progid" --scripting --launch --import </dev/null ||
    { echo "FAIL tarnwick safety --import"; exit 1; }
present "$key" /reg:32
absent "$key" /reg:64
present "$launch" /reg:32
wine "$tarnwick" safety --clsid "$clsid" --progid "$progid" --scripting --launch --remove --import </dev/null ||
    { echo "FAIL tarnwick safety --remove --import"; exit 1; }
absent "$key" /reg:32
absent "$launch" /reg:32
[ "$fail" = 0 ] && echo "safety --import writes the 32-bit view only"
exit "$fail"
