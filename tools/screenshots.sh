#!/usr/bin/env bash
# Pictures of the real programs under Wine for the README, written to docs/:
# the face with each built-in skin, the right-click menu, the notice band,
# the settings dialog with a few alarms, the time-check dialog, LunetraView.
# Run through ./tockly screenshots (Wine, display and the local time page set
# up); a build that runs here, so every address stays on loopback.
set -u
: "${TOCKLY_DIST:?}" "${TOCKLY_ROOT:?}"
OUT="$TOCKLY_ROOT/docs"
WORK="$TOCKLY_ROOT/build/shots/Tockly"
INI="$WORK/Software_information.ini"
PROBE="$TOCKLY_ROOT/build/win64/bin/probe_windows.exe"
PAGE="http://127.0.0.1:18080"
export TOCKLY_TEST_ONLINE_PROBE="$PAGE/online"
mkdir -p "$OUT"

say() { printf '== %s\n' "$*" >&2; }
probe() { wine "$PROBE" "$@" 2>/dev/null | tr -d '\r'; }
eventually() {  # eventually SECONDS COMMAND...
  local until=$((SECONDS + $1)); shift
  while ! "$@" >/dev/null 2>&1; do ((SECONDS >= until)) && return 1; sleep 0.2; done
}

# A plain desk colour behind the see-through parts, instead of Xvfb's weave.
convert -size 1024x768 xc:'#3a6ea5' "$TOCKLY_ROOT/build/shots-desk.png" 2>/dev/null
mkdir -p "$TOCKLY_ROOT/build/shots"
display -window root "$TOCKLY_ROOT/build/shots-desk.png" 2>/dev/null

TMP="$TOCKLY_ROOT/build/shots/full.png"
# Without a compositor Wine shows the see-through parts of the face and the
# time-check dialog black: the desk colour goes there instead, filled from
# the inner corners of each see-through window (X Y W H on the picture).
desk_fill() {  # desk_fill FILE X Y W H ...
  local file=$1; shift
  local args=()
  while (($# >= 4)); do
    local x=$1 y=$2 w=$3 h=$4; shift 4
    args+=(-floodfill "+$((x + 1))+$((y + 1))" black -floodfill "+$((x + w - 2))+$((y + 1))" black
           -floodfill "+$((x + 1))+$((y + h - 2))" black -floodfill "+$((x + w - 2))+$((y + h - 2))" black)
  done
  if ((${#args[@]})); then convert "$file" -fuzz 2% -fill '#3a6ea5' "${args[@]}" "$file"; fi
}
saved() { say "$OUT/$1.png ($(stat -c %s "$OUT/$1.png") bytes)"; }
# shot NAME X Y W H [SEE-THROUGH X Y W H, relative to the shot]: that part of the screen, as a small PNG.
shot() {
  local name=$1 x=$2 y=$3 w=$4 h=$5; shift 5
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$TMP" || return
  desk_fill "$TMP" "$@"
  convert "$TMP" -strip "PNG8:$OUT/$name.png" && saved "$name"
}
# shot_trim NAME: the whole screen cut down to what is not the desk.
shot_trim() {
  import -window root "$TMP" || return
  local w; w=$(clock_x_window)
  [[ -n "$w" ]] && desk_fill "$TMP" $(geometry "$w")
  convert "$TMP" -fuzz 3% -trim +repage -bordercolor '#3a6ea5' -border 8 -strip "PNG8:$OUT/$1.png" && saved "$1"
}
# geometry X_WINDOW: "X Y W H" on the screen
geometry() {
  xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}
clock_x_window() {
  local w
  for w in $(xdotool search --name '^Tockly$' 2>/dev/null); do
    xwininfo -id "$w" 2>/dev/null | grep -q 'IsViewable' && xwininfo -id "$w" | grep -q 'Width: 208' && { echo "$w"; return; }
  done
}

CLOCK_PID=""
start_clock() {  # start_clock SETTINGS_UTF8
  rm -rf "$WORK"; mkdir -p "$WORK"
  cp "$TOCKLY_DIST/Tockly.exe" "$TOCKLY_DIST/Lunetra.ocx" "$WORK/"
  cp -r "$TOCKLY_DIST/Voice" "$WORK/"
  printf '%s' "$1" | iconv -f UTF-8 -t GBK | sed 's/$/\r/' > "$INI"
  (cd "$WORK" && exec wine ./Tockly.exe >/dev/null 2>&1) &
  CLOCK_PID=$!
  eventually 20 probe client
}
stop_clock() {
  [[ -n "$CLOCK_PID" ]] && kill "$CLOCK_PID" 2>/dev/null
  CLOCK_PID=""
  wineserver -k 2>/dev/null; sleep 1; wineserver -p >/dev/null 2>&1
}
face_shot() {  # face_shot NAME: the clock window, its see-through corners on the desk colour
  local w; w=$(clock_x_window)
  [[ -n "$w" ]] || { say "no clock window for $1"; return 1; }
  read -r x y fw fh < <(geometry "$w")
  shot "$1" "$((x - 6))" "$((y - 6))" "$((fw + 12))" "$((fh + 12))" 6 6 "$fw" "$fh"
}

QUIET=$'[ToMin]\ntomin=1\n[zdtx]\nzhengdian0=0\nBanDian0=0\n[mts]\nmatisheng0=0\n[jianhu]\nshijianJH=1\njianhuzd=0\n'

# The notice band of the start-up, then the face with each built-in skin.
for n in 1 2 3 4; do
  say "skin $n"
  start_clock "$QUIET"$'[PiFu]\npifu0=默认皮肤'"$n"$'\n' || { say "the clock did not start"; exit 1; }
  if [[ $n == 1 ]]; then
    sleep 1.2
    shot_trim notice-band
  fi
  sleep 4
  face_shot "face-skin$n"
  if [[ $n == 1 ]]; then
    # The right-click menu, opened on the face's background.
    read -r CX CY < <(probe client)
    xdotool mousemove $((CX + 35)) $((CY + 100)); sleep 0.3
    xdotool click 3; sleep 1
    shot_trim menu
    xdotool key Escape; sleep 0.5
  fi
  stop_clock
done

# The settings dialog with a few alarms, two of them with a repeat rule.
say "settings dialog"
ALARMS=$'[naoling]\nnaolingshu0=4\n0sj=7:00:00\n0ls=alarm_bell.mp3\n0ts=起床啦\n0cf=workday\n1sj=12:30:00\n1ls=alarm_chirp.mp3\n1ts=午饭时间到了\n1cf=week:135\n2sj=22:45:00\n2ls=alarm_bell.mp3\n2ts=该睡觉了\n3sj=9:00:00\n3ls=alarm_chirp.mp3\n3ts=妈妈的生日\n3cf=lunar:08-15\n'
start_clock "$QUIET$ALARMS" && sleep 3
read -r CX CY < <(probe client)
xdotool mousemove $((CX + 35)) $((CY + 100)); sleep 0.3
xdotool click 3; sleep 0.8
for _ in $(seq 8); do xdotool key Down; sleep 0.05; done
xdotool key Return; sleep 2
d=$(xdotool search --name '^闹铃设置' 2>/dev/null | head -1)
if [[ -n "$d" ]]; then
  read -r x y w h < <(geometry "$d")
  shot settings-dialog "$x" "$y" "$w" "$h"
  # The repeat picker of 每年农历…, opened from the fourth row's list (its
  # arrow is at the right end of the box, 8970 + 2910 twips across).
  xdotool mousemove $((x + 11730 / 15)) $((y + (450 + 480 * 3 + 200) / 15)); sleep 0.3
  xdotool click 1; sleep 0.8
  for _ in $(seq 7); do xdotool key Down; sleep 0.1; done
  xdotool key Return; sleep 1.5
  p=$(xdotool search --name '^每年农历$' 2>/dev/null | head -1)
  if [[ -n "$p" ]]; then
    read -r px py pw ph < <(geometry "$p")
    # No window manager draws its frame here: a thin edge stands in for it.
    shot repeat-picker "$px" "$py" "$pw" "$ph" &&
      convert "$OUT/repeat-picker.png" -bordercolor '#808080' -border 1 -strip "PNG8:$OUT/repeat-picker.png"
  else
    say "the repeat picker did not open"
  fi
else
  say "the settings dialog did not open"
fi
stop_clock

# The time-check dialog: the page fifteen minutes ahead, the clock started
# just before its minute 5 through the test builds' clock offset.
say "time-check dialog"
curl -s "$PAGE/control?reset&skew=900&mode=ok" >/dev/null
now=$(( $(date +%-M) * 60 + $(date +%-S) ))
export TOCKLY_TEST_CLOCK_OFFSET=$(( ((5 * 60 - now - 10) % 3600 + 3600) % 3600 ))
start_clock "$QUIET"
unset TOCKLY_TEST_CLOCK_OFFSET
sleep 16
# It rests 260 x 142 pixels in the bottom-right corner (no taskbar here).
shot time-check-dialog $((1024 - 272)) $((768 - 154)) 272 154 12 12 260 142
curl -s "$PAGE/control?reset" >/dev/null
stop_clock

# LunetraView, the lunar calendar on its own, on a month with holiday marks
# (国庆节 2026: 1-7 October 休, Saturday 10 October 班).
say "LunetraView"
wine regsvr32 /s "$TOCKLY_DIST/Lunetra.ocx" >/dev/null 2>&1
(cd "$TOCKLY_DIST" && exec wine ./LunetraView.exe 2026-10-15 >/dev/null 2>&1) &
eventually 20 bash -c "xdotool search --name '^Lunetra' | grep -q ." ; sleep 2
v=$(xdotool search --name '^Lunetra' 2>/dev/null | head -1)
if [[ -n "$v" ]]; then
  read -r x y w h < <(geometry "$v")
  shot lunetraview "$x" "$y" "$w" "$h"
fi
wineserver -k 2>/dev/null
say "pictures in $OUT"
