#!/usr/bin/env bash
# Runs the Windows tests under Wine (CTest calls it; WINEPREFIX and the other
# WINE* variables come from the test's environment).
#   wine_test.sh up PROBE   a fresh prefix, Wine's server kept up, an X server;
#                           fails unless the 32-bit PROBE prints its line
#   wine_test.sh run EXE..  runs EXE under Wine with the X server as display
#   wine_test.sh down       ends Wine's server and the X server
# The servers run detached from CTest's output pipes, so that a test ends when
# its own program does.
set -euo pipefail
: "${WINEPREFIX:?}"
state="$WINEPREFIX.state"

case "$1" in
    up)
        "$0" down || true
        rm -rf "$WINEPREFIX" "$state"
        mkdir -p "$state" "$WINEPREFIX"
        # One X server for every test that opens windows; it picks a free
        # display and writes its number.
        setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
            3>"$state/display" </dev/null >/dev/null 2>&1 &
        echo $! >"$state/xvfb.pid"
        for _ in $(seq 100); do [ -s "$state/display" ] && break; sleep 0.1; done
        [ -s "$state/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
        setsid wineserver -p </dev/null >/dev/null 2>&1
        DISPLAY=":$(cat "$state/display")" wine wineboot -i </dev/null >/dev/null 2>&1
        # Without Wine's 32-bit half (wine32) a 32-bit program prints nothing
        # and exits 0: every test would pass without having run.
        probe=${2:?the 32-bit probe program}
        said=$(wine "$probe" </dev/null 2>/dev/null | tr -d '\r' || true)
        if [ "$said" != "32-bit program ran (pointer size 4)" ]; then
            echo "Wine does not run 32-bit programs (install wine32:i386); the probe said: '$said'" >&2
            exit 1
        fi
        [ -f "$WINEPREFIX/drive_c/windows/syswow64/regedit.exe" ] ||
            { echo "the Wine prefix has no 32-bit registry editor (syswow64)" >&2; exit 1; }
        echo "Wine prefix $WINEPREFIX ready for 32-bit programs (display :$(cat "$state/display"))"
        ;;
    run)
        shift
        [ -s "$state/display" ] && export DISPLAY=":$(cat "$state/display")"
        # The program's output goes through a file, not the runner's pipe: a
        # process the program started and killed may live on in Wine for a
        # moment holding what it inherited, and the runner would wait for it.
        out=$(mktemp)
        trap 'cat "$out"; rm -f "$out"; exit 143' TERM INT
        set +e
        wine "$@" >"$out" 2>&1 </dev/null
        status=$?
        cat "$out"
        rm -f "$out"
        exit $status
        ;;
    down)
        if [ -d "$WINEPREFIX" ]; then wineserver -k 2>/dev/null || true; fi
        if [ -s "$state/xvfb.pid" ]; then
            kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
            rm -f "$state/xvfb.pid"
        fi
        ;;
    *)
        echo "usage: wine_test.sh up PROBE|run EXE...|down" >&2
        exit 2
        ;;
esac
