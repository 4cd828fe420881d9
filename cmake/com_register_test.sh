#!/usr/bin/env bash
# regsvr32 and regsvr32 /u of each add-in DLL under Wine: registration writes
# exactly the class keys and the IDE's Addins entry, unregistration removes
# exactly those and leaves another add-in's entry alone.
#   com_register_test.sh BIN_DIR
set -euo pipefail
bin=$1
addins='HKCU\Software\Microsoft\Visual Basic\6.0\Addins'
fail=0
query() { wine reg query "$1" /s /reg:32 2>/dev/null | tr -d '\r' | sed -e '/^$/d' -e '/^reg: /d' || true; }
expect() {  # expect WHAT ACTUAL EXPECTED
    if [ "$2" != "$3" ]; then
        echo "FAIL $1"; echo "--- expected"; echo "$3"; echo "--- actual"; echo "$2"; fail=1
    fi
}

wine reg add "$addins\\Foreign.Connect" /v FriendlyName /d "Someone else's" /f >/dev/null

while IFS='|' read -r dll progid clsid description; do
    path=$(winepath -w "$bin/$dll")
    wine regsvr32 /s "$path" || { echo "FAIL regsvr32 $dll"; fail=1; continue; }
    expect "$dll ProgID key" "$(query "HKCR\\$progid")" "HKEY_CLASSES_ROOT\\$progid
    (Default)    REG_SZ    $description
HKEY_CLASSES_ROOT\\$progid\\CLSID
    (Default)    REG_SZ    $clsid"
    expect "$dll class key" "$(query "HKCR\\CLSID\\$clsid")" "HKEY_CLASSES_ROOT\\CLSID\\$clsid
    (Default)    REG_SZ    $description
HKEY_CLASSES_ROOT\\CLSID\\$clsid\\InprocServer32
    (Default)    REG_SZ    $path
    ThreadingModel    REG_SZ    Apartment
HKEY_CLASSES_ROOT\\CLSID\\$clsid\\ProgID
    (Default)    REG_SZ    $progid"
    expect "$dll Addins entry" "$(query "$addins\\$progid")" "HKEY_CURRENT_USER\\Software\\Microsoft\\Visual Basic\\6.0\\Addins\\$progid
    CommandLineSafe    REG_DWORD    0x0
    Description    REG_SZ    $description
    FriendlyName    REG_SZ    $description
    LoadBehavior    REG_DWORD    0x1"

    wine regsvr32 /u /s "$path" || { echo "FAIL regsvr32 /u $dll"; fail=1; }
    for key in "HKCR\\$progid" "HKCR\\CLSID\\$clsid" "$addins\\$progid"; do
        expect "$dll: $key removed" "$(query "$key")" ""
    done
done <<'LIST'
Quillon.dll|Quillon.Connect|{3C7E9A52-1D4B-4F86-A0C3-5B2E8D71F964}|Tarnwick Add Procedure Dialog
Config.dll|Config.Connect|{440842DB-1CBC-4BA5-9E32-BCF0B77D2378}|Tarnwick Thornbury
Wendover.dll|WendoverAgent.Connect|{5022C2E8-6E17-4DAD-BAAC-E4D9781F009B}|VB Wendover Agent
LIST

expect "another add-in's entry stays" "$(query "$addins\\Foreign.Connect")" "HKEY_CURRENT_USER\\Software\\Microsoft\\Visual Basic\\6.0\\Addins\\Foreign.Connect
    FriendlyName    REG_SZ    Someone else's"
wine reg delete "$addins\\Foreign.Connect" /f >/dev/null
[ $fail = 0 ] && echo "registration and unregistration of the three add-ins: as expected"
exit $fail
