#!/usr/bin/env bash
# tarnwick.exe safety --import and provider register --import under Wine: the
# system's registry editor that the program starts puts the keys into the
# 32-bit view (where VB6's components are registered), none into the 64-bit
# one; provider list sees the provider; the removals take the keys out again.
#   registry_view_test.sh TARNWICK_EXE
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
# A provider of the OLE DB Simple Provider runtime, which the prefix lacks.
runtime='HKCR\CLSID\{dfc8bdc0-e378-11d0-9b30-0080c7e9fe95}'
guid='{7A6E2F10-0000-4000-8000-00000000CAFE}'
provider=TarnwickViewCheck
cleanup() {
    local view
    for view in /reg:32 /reg:64; do
        wine reg delete "$class" $view /f </dev/null >/dev/null 2>&1 || true
        wine reg delete "$runtime" $view /f </dev/null >/dev/null 2>&1 || true
        wine reg delete "HKCR\\CLSID\\$guid" $view /f </dev/null >/dev/null 2>&1 || true
        wine reg delete "HKCR\\$provider" $view /f </dev/null >/dev/null 2>&1 || true
    done
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

wine reg add "$runtime\\InProcServer32" /ve /d 'C:\Program Files\Common Files\System\OLE DB\msdaosp.dll' \
    /reg:32 /f </dev/null >/dev/null
wine "$tarnwick" provider register --data-progid Tarnwick.Ledger --progid "$provider" --guid "$guid" \
    --description 'View check' --import </dev/null >/dev/null ||
    { echo "FAIL tarnwick provider register --import"; exit 1; }
present "HKCR\\CLSID\\$guid\\OLE DB Provider" /reg:32
absent "HKCR\\CLSID\\$guid" /reg:64
listed=$(wine "$tarnwick" provider list </dev/null | tr -d '\r')
case "$listed" in
    *"$provider	$guid	View check	Tarnwick.Ledger"*) ;;
    *) echo "FAIL provider list does not show the provider:"; echo "$listed"; fail=1 ;;
esac
wine "$tarnwick" provider unregister --progid "$provider" --guid "$guid" --import </dev/null >/dev/null ||
    { echo "FAIL tarnwick provider unregister --import"; exit 1; }
absent "HKCR\\CLSID\\$guid" /reg:32
absent "HKCR\\$provider" /reg:32

[ "$fail" = 0 ] && echo "safety and provider --import write the 32-bit view only"
exit "$fail"
