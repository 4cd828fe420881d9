#!/usr/bin/env bash
# Runs the same tarnwick commands with the Linux program and with the Windows
# one (under Wine) on two copies of the sample project, and fails unless both
# print the same bytes and leave the same files.
#   same_bytes_test.sh LINUX_TARNWICK WINDOWS_TARNWICK_EXE SAMPLE_PROJECT_FOLDER
set -euo pipefail
linux=$1 windows=$2 sample=$3
wine_run=$(dirname "$0")/wine_test.sh
[ -x "$linux" ] || { echo "the Linux program $linux is not built" >&2; exit 1; }
top=$(mktemp -d)
trap 'rm -rf "$top"' EXIT
# The copies lie in a folder whose name the ANSI code page holds but ASCII
# does not, as a user's folder may.
work=$top/Jürgen
mkdir "$work"
cp -r "$sample" "$work/linux"
cp -r "$sample" "$work/windows"

# Each command runs in its copy's folder with relative paths, so that the
# printed text does not name the copy.
check() {
    (cd "$work/linux" && "$linux" "$@" >"$work/linux.out" 2>&1; echo "exit $?" >>"$work/linux.out")
    (cd "$work/windows" && "$wine_run" run "$windows" "$@" >"$work/windows.out" 2>&1; echo "exit $?" >>"$work/windows.out")
    if ! cmp -s "$work/linux.out" "$work/windows.out"; then
        echo "tarnwick $*: the programs print different bytes" >&2
        diff <(od -c "$work/linux.out") <(od -c "$work/windows.out") | head -20 >&2
        exit 1
    fi
    if ! diff -r "$work/linux" "$work/windows" >&2; then
        echo "tarnwick $*: the programs leave different files" >&2
        exit 1
    fi
    echo "same bytes in $(basename "$work"): tarnwick $*"
}

check procedure --kind function --name Balance --type Currency --args "ByVal Id As Long" --error 1
check procedure --kind property --name Owner --type String --read 1 --write 1
check config Ledger.vbp list
check config Ledger.vbp switch release
check config Ledger.vbp check
check config Ledger.vbp switch 1 --dry-run
check procedure --kind sub --name Audit --args "ByVal Note As String" --vbp Ledger.vbp --module modLedger
check provider --help
check safety --help

# Other folder names of the code page: the switch there too.
for name in Ä é €; do
    work=$top/$name
    mkdir "$work"
    cp -r "$sample" "$work/linux"
    cp -r "$sample" "$work/windows"
    check config Ledger.vbp switch release
done

# A folder name the code page cannot hold is refused with its reason, and
# nothing is written.
mkdir "$top/Ω"
cp -r "$sample" "$top/Ω/windows"
said=$(cd "$top/Ω/windows" && "$wine_run" run "$windows" config Ledger.vbp switch release 2>&1) && {
    echo "tarnwick.exe in a folder named Ω: exit 0, expected a refusal" >&2
    exit 1
}
case "$said" in
    *"cannot hold"*) echo "refused in Ω: $said" ;;
    *) echo "tarnwick.exe in a folder named Ω said: $said" >&2; exit 1 ;;
esac
diff -r "$sample" "$top/Ω/windows" >&2 || { echo "tarnwick.exe changed files in Ω" >&2; exit 1; }
