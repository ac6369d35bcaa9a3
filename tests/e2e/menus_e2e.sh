#!/usr/bin/env bash
# End-to-end: every item of the clock's two menus, chosen with real mouse and
# key events through the X server, checked in the settings file, the registry
# and on the screen. Run by ./tockly test (Wine, display and time-page server
# set up); prints "ok - ..." or "not ok - ..." for each check.
set -u
: "${BUILD:?}" "${TOCKLY_DIST:?}"
PROBE="$BUILD/win64/bin/probe_windows.exe"
WORK="$BUILD/e2e-work/menus"
INI="$WORK/Software_information.ini"
RUN_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
export TOCKLY_TEST_ONLINE_PROBE="http://127.0.0.1:18080/online"

ok() { echo "ok - $*"; }
not_ok() { echo "not ok - $*"; }
check() { local name=$1; shift; if "$@"; then ok "$name"; else not_ok "$name"; fi; }
eventually() {  # eventually SECONDS COMMAND...
  local until=$((SECONDS + $1)); shift
  while ! "$@" >/dev/null 2>&1; do ((SECONDS >= until)) && return 1; sleep 0.2; done
}
has_line() { tr -d '\r' < "$INI" | grep -qx "$1"; }
probe() { wine "$PROBE" "$@" 2>/dev/null | tr -d '\r'; }

CLOCK_PID=""
start_clock() {
  rm -rf "$WORK"; mkdir -p "$WORK"
  cp "$TOCKLY_DIST/Tockly.exe" "$TOCKLY_DIST/Lunetra.ocx" "$WORK/"
  cp -r "$TOCKLY_DIST/Voice" "$WORK/"
  printf '%s' "$1" > "$INI"
  (cd "$WORK" && exec wine ./Tockly.exe >/dev/null 2>&1) &
  CLOCK_PID=$!
  eventually 20 probe client || return 1
  sleep 1.5  # the start-up notice passes
  read -r CX CY < <(probe client)
}
stop_clock() { [[ -n "$CLOCK_PID" ]] && kill "$CLOCK_PID" 2>/dev/null; wineserver -w 2>/dev/null & sleep 1; }
clock_x_window() {
  local w
  for w in $(xdotool search --name '^Tockly$' 2>/dev/null); do
    xwininfo -id "$w" 2>/dev/null | grep -q 'Width: 208' && { echo "$w"; return; }
  done
}
window_left() { xwininfo -id "$(clock_x_window)" 2>/dev/null | awk '/Absolute upper-left X/ {print $4}'; }
clock_mapped() { xwininfo -id "$(clock_x_window)" 2>/dev/null | grep -q 'IsViewable'; }

# Right-click on the face's background (left of the centre, away from the
# labels) and walk the menu with the keyboard: N steps down, then Enter.
choose() {  # choose N [Right]
  read -r CX CY < <(probe client)
  xdotool mousemove $((CX + 35)) $((CY + 100)); sleep 0.2
  xdotool click 3; sleep 0.7
  local i; for ((i = 0; i < $1; i++)); do xdotool key Down; sleep 0.05; done
  [[ "${2:-}" == Right ]] && { xdotool key Right; sleep 0.3; xdotool key Down; sleep 0.1; }
  xdotool key Return; sleep 0.8
}

echo "# menus: start"
start_clock $'[ToMin]\r\ntomin=1\r\n' || { not_ok "the clock starts"; exit 1; }

# The seven toggles, in menu order: off, then on again.
keys=(mts/matisheng0 zdtx/zhengdian0 zdtx/BanDian0 XianShi/XS_NianYue0 XianShi/XS_RiQi0 XianShi/XS_ShiJian0 XianShi/XS_XingQi0)
for i in "${!keys[@]}"; do
  key=${keys[$i]#*/}
  choose $((i + 1)); check "toggle $key off writes 0" has_line "$key=0"
  choose $((i + 1)); check "toggle $key on writes 1" has_line "$key=1"
done

# 时间监护: off writes both keys, on writes only shijianJH.
choose 9; check "时间监护 off writes shijianJH=0" has_line "shijianJH=0"
check "时间监护 off writes jianhuzd=0" has_line "jianhuzd=0"
printf '' >> "$INI"; sed -i 's/^jianhuzd=0\r$/jianhuzd=1\r/' "$INI"
choose 9; check "时间监护 on writes shijianJH=1" has_line "shijianJH=1"
check "时间监护 on leaves jianhuzd alone" has_line "jianhuzd=1"

# 自启闹钟: on writes the Run value with the program's path, off deletes it.
wine reg delete "$RUN_KEY" /v NaoZhong /f >/dev/null 2>&1
choose 10
run_value=$(wine reg query "$RUN_KEY" /v NaoZhong 2>/dev/null | tr -d '\r' | grep NaoZhong)
check "自启闹钟 on writes NaoZhong" grep -q 'Tockly.exe' <<<"$run_value"
check "自启闹钟 value has no quotes" bash -c '! grep -q "\"" <<<"$0"' "$run_value"
choose 10
check "自启闹钟 off deletes NaoZhong" bash -c '! wine reg query "$0" /v NaoZhong >/dev/null 2>&1' "$RUN_KEY"

# 闹钟设置 opens the settings dialog.
choose 8
check "闹钟设置 opens the dialog" eventually 5 probe exists "闹铃设置【24小时制 或 12小时制 是根据你自己电脑的设置而定，最好使用24小时制】"
xdotool key Escape; wmctrl_close() { :; }
probe exists "闹铃设置【24小时制 或 12小时制 是根据你自己电脑的设置而定，最好使用24小时制】" && \
  xdotool search --name '^闹铃设置' windowclose 2>/dev/null; sleep 0.5

# 靠右隐藏 parks the window; moving the mouse over it brings it back.
width_px=$(xdpyinfo | awk '/dimensions/ {split($2, d, "x"); print d[1]}')
choose 11
check "靠右隐藏 parks at the right edge" eventually 3 bash -c '[[ "$('"$(declare -f clock_x_window window_left)"'; window_left)" == '"$((width_px - 8))"' ]]'
xdotool mousemove $((width_px - 1)) 120; sleep 0.3; xdotool mousemove $((width_px - 2)) 121; sleep 0.8
check "moving the mouse over it unparks" bash -c '[[ "$('"$(declare -f clock_x_window window_left)"'; window_left)" == '"$((width_px - 205))"' ]]'

# 关闭铃声 with nothing ringing changes nothing visible.
choose 13
check "关闭铃声 leaves the clock running" kill -0 "$CLOCK_PID"

# 帮助 shows the help box.
choose 14
check "帮助 shows the help box" eventually 5 probe exists "帮  助"
help_text=$(probe texts "帮  助")
check "help text names the program" grep -q '纯绿色《Tockly》' <<<"$help_text"
probe ok "帮  助"; sleep 0.5

# Vornhall opens the maker's page (a loopback address in this build).
choose 15
check "Vornhall leaves the clock running" kill -0 "$CLOCK_PID"

# 缩小闹钟 reduces to the tray; the tray menu's 显示闹钟 restores, 闹铃设置 opens the dialog.
choose 12
check "缩小闹钟 hides the window" eventually 3 bash -c '! xwininfo -id '"$(clock_x_window)"' | grep -q IsViewable'
check "缩小闹钟 writes tomin=0" has_line "tomin=0"
tray=$(xdotool search --name '^Wine System Tray$' 2>/dev/null | head -1)
if [[ -n "$tray" ]]; then
  read -r TX TY < <(xwininfo -id "$tray" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}')
  xdotool mousemove $((TX + 10)) $((TY + 10)); sleep 0.2; xdotool click 3; sleep 0.7
  xdotool key Down Down Return; sleep 1
  check "托盘 闹铃设置 opens the dialog" eventually 5 probe exists "闹铃设置【24小时制 或 12小时制 是根据你自己电脑的设置而定，最好使用24小时制】"
  xdotool search --name '^闹铃设置' windowclose 2>/dev/null; sleep 0.5
  xdotool mousemove $((TX + 10)) $((TY + 10)); sleep 0.2; xdotool click 3; sleep 0.7
  xdotool key Down Return; sleep 1
  check "托盘 显示闹钟 shows the window" eventually 3 clock_mapped
  check "显示闹钟 writes tomin=1" has_line "tomin=1"
else
  not_ok "the tray icon is shown"
fi

# The day label: its tooltip and its message hold today's lunar date.
read -r CX CY < <(probe client)
read -r _ _ date_text animal sign _ < <(date +%F | "$BUILD/host/bin/lunetra" convert)
tooltip=""
for attempt in 1 2 3; do
  # Rest the mouse on the label and give the tip its delay before looking.
  for x in 144 145 146 147; do xdotool mousemove $((CX + x)) $((CY + 100)); sleep 0.2; done
  sleep 1.5
  tooltip=$(probe tooltips) && break
done
echo "# tooltip: $tooltip"
check "day tooltip holds today's lunar date" grep -qx "农历：【$animal】${date_text#农历}【$sign】" <<<"$tooltip"
xdotool click 3; sleep 1
message=$(probe texts "农历信息")
check "day message holds today's lunar date" grep -qx "农历：${date_text#农历}" <<<"$message"
check "day message holds the animal" grep -qx "属相：$animal" <<<"$message"
check "day message holds the star sign" grep -qx "星座：$sign" <<<"$message"
probe ok "农历信息"; sleep 0.5

# The spot at the centre lists the alarms.
xdotool mousemove $((CX + 99)) $((CY + 99)); sleep 0.3; xdotool click 1
eventually 5 probe texts "Tockly"; alarms=$(probe texts "Tockly")
echo "# alarm list: $alarms"
check "the centre spot lists the alarms" grep -q '总共有闹铃时间0个，分别如下：' <<<"$alarms"
probe ok "Tockly"; sleep 0.5

# 关闭软件 > 退出: the goodbye notice, then the process is gone within 3 s.
choose 16 Right
start=$SECONDS
check "退出 shows the goodbye notice" eventually 2 probe exists "Tockly退出啦，再见"
if eventually 4 bash -c '! kill -0 '"$CLOCK_PID"; then ok "退出 ends the program within 3 s ($((SECONDS - start)) s)"; else not_ok "退出 ends the program within 3 s"; fi
stop_clock

# The lunar texts without a registered control: from Lunetra.ocx beside the
# program, and a plain notice when that file is missing too.
wine regsvr32 /u /s "$(winepath -w "$TOCKLY_DIST/Lunetra.ocx")" >/dev/null 2>&1
day_message() {
  read -r CX CY < <(probe client)
  xdotool mousemove $((CX + 146)) $((CY + 100)); sleep 0.3; xdotool click 3
  eventually 5 probe texts "农历信息"; probe texts "农历信息"; probe ok "农历信息"
}
if start_clock $'[ToMin]\r\ntomin=1\r\n'; then
  message=$(day_message)
  check "unregistered: the day message comes from Lunetra.ocx beside the program" grep -qx "属相：$animal" <<<"$message"
  stop_clock
fi
rm -rf "$WORK"; mkdir -p "$WORK"
cp "$TOCKLY_DIST/Tockly.exe" "$WORK/"; cp -r "$TOCKLY_DIST/Voice" "$WORK/"; printf '[ToMin]\r\ntomin=1\r\n' > "$INI"
(cd "$WORK" && exec wine ./Tockly.exe >/dev/null 2>&1) & CLOCK_PID=$!
if eventually 20 probe client; then
  sleep 1.5
  message=$(day_message)
  check "no control at all: the day message says the calendar is unavailable" grep -q '农历日历不可用' <<<"$message"
  check "no control at all: the clock keeps running" kill -0 "$CLOCK_PID"
else
  not_ok "the clock starts without Lunetra.ocx"
fi
stop_clock
