#!/usr/bin/env bash
# End-to-end: the clock on a display of two screens side by side (Xvfb with
# Xinerama, which Wine shows as two monitors). Run by ./tockly test; prints
# "ok - ..." or "not ok - ..." for each check.
set -u
: "${BUILD:?}" "${TOCKLY_DIST:?}"
ok() { echo "ok - $*"; }
not_ok() { echo "not ok - $*"; }

DISPLAY_NUMBER=""
for n in $(seq 130 160); do
  [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
  DISPLAY_NUMBER=$n; break
done
[[ -n "$DISPLAY_NUMBER" ]] || { not_ok "a free display for two screens"; exit 1; }
Xvfb ":$DISPLAY_NUMBER" -screen 0 1024x768x24 -screen 1 800x600x24 +xinerama -nolisten tcp >/dev/null 2>&1 &
XVFB=$!
trap 'wineserver -k >/dev/null 2>&1; kill $XVFB 2>/dev/null' EXIT
for _ in $(seq 50); do DISPLAY=":$DISPLAY_NUMBER" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# Wine reads the monitors of the display its server first saw: a server of its own for this one.
wineserver -k >/dev/null 2>&1; wineserver -w 2>/dev/null
LOG="$BUILD/test-results/monitors_e2e.gtest.log"
mkdir -p "$(dirname "$LOG")"
DISPLAY=":$DISPLAY_NUMBER" TOCKLY_TWO_MONITORS=1 wine "$BUILD/win64/bin/e2e_desk_tests.exe" \
  --gtest_filter='Monitors.*' >"$LOG" 2>&1
if grep -q '^\[  PASSED  \] 1 test' "$LOG"; then
  ok "two monitors: KaoBian parks at the right edge of the right-hand monitor"
else
  grep -E 'Failure|Expected|Which is|not parked|two monitors' "$LOG" | head -20
  not_ok "two monitors: KaoBian parks at the right edge of the right-hand monitor"
fi
