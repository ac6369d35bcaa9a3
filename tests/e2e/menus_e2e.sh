#!/usr/bin/env bash
# End-to-end: every item of the clock's two menus, chosen with real mouse and
# key events through the X server, checked in the settings file, the registry,
# on the screen, in the captured sound and at the local web server. Run by
# ./tockly test (Wine, display, audio capture and time-page server set up);
# prints "ok - ..." or "not ok - ..." for each check.
#
# Items are found by their caption in the open menu (probe_windows reads it
# from inside Wine), and every step waits for what it causes, with a time
# limit, rather than for a fixed time.
set -u
: "${BUILD:?}" "${TOCKLY_DIST:?}"
PROBE="$BUILD/win64/bin/probe_windows.exe"
WORK="$BUILD/e2e-work/menus"
INI="$WORK/Software_information.ini"
RUN_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
SERVER="http://127.0.0.1:18080"
export TOCKLY_TEST_ONLINE_PROBE="$SERVER/online"
SETTINGS_TITLE="闹铃设置【24小时制 或 12小时制 是根据你自己电脑的设置而定，最好使用24小时制】"
QUIET=$'[ToMin]\r\ntomin=1\r\n[zdtx]\r\nzhengdian0=0\r\nBanDian0=0\r\n[mts]\r\nmatisheng0=0\r\n'

ok() { echo "ok - $*"; }
not_ok() { echo "not ok - $*"; }
check() { local name=$1; shift; if "$@"; then ok "$name"; else not_ok "$name"; fi; }
eventually() {  # eventually SECONDS COMMAND...
  local until=$((SECONDS + $1)); shift
  while ! "$@" >/dev/null 2>&1; do ((SECONDS >= until)) && return 1; sleep 0.2; done
}
has_line() { tr -d '\r' < "$INI" | grep -qx "$1"; }
# The probe's own exit status is the answer to "exists", "tooltips", "menu", ...
probe() { wine "$PROBE" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# A GET on the local server (loopback only), without a client program.
http_get() {  # http_get http://127.x.x.x:PORT/PATH
  local rest=${1#http://} fd
  local hostport=${rest%%/*} path="/${rest#*/}"
  [[ "$hostport" == 127.* ]] || return 1
  exec {fd}<>"/dev/tcp/${hostport%:*}/${hostport##*:}" || return 1
  printf 'GET %s HTTP/1.0\r\nHost: %s\r\n\r\n' "$path" "$hostport" >&"$fd"
  cat <&"$fd"
  exec {fd}>&-
}
home_requests() { http_get "$SERVER/control" | grep -o 'home_requests=[0-9]*' | cut -d= -f2; }

# The desktop's browser, as Wine's winebrowser finds it on PATH: this one
# notes the address it was given and fetches it, loopback addresses only.
BROWSER="$BUILD/e2e-work/browser"
OPENED="$BROWSER/opened"
rm -rf "$BROWSER"; mkdir -p "$BROWSER"
{
  echo '#!/usr/bin/env bash'
  declare -f http_get
  echo "echo \"\$1\" >> '$OPENED'"
  echo 'http_get "$1" >/dev/null'
} > "$BROWSER/xdg-open"
chmod +x "$BROWSER/xdg-open"
export PATH="$BROWSER:$PATH"

CLOCK_PID=""
prepare_folder() {  # prepare_folder SETTINGS
  rm -rf "$WORK"; mkdir -p "$WORK"
  cp "$TOCKLY_DIST/Tockly.exe" "$TOCKLY_DIST/Lunetra.ocx" "$WORK/"
  cp -r "$TOCKLY_DIST/Voice" "$WORK/"
  printf '%s' "$1" > "$INI"
}
launch_clock() {
  (cd "$WORK" && exec wine ./Tockly.exe >/dev/null 2>&1) &
  CLOCK_PID=$!
  eventually 20 probe client || return 1
  # The start-up notice band passes over the screen's top: once it is seen
  # (or has had its time to come), wait until it has gone.
  eventually 3 probe notice
  eventually 5 no_notice
  read -r CX CY < <(probe client)
}
start_clock() { prepare_folder "$1"; launch_clock; }
stop_clock() {
  [[ -n "$CLOCK_PID" ]] && kill "$CLOCK_PID" 2>/dev/null
  eventually 10 clock_ended
  wait "$CLOCK_PID" 2>/dev/null
  CLOCK_PID=""
}
clock_x_window() {
  local w
  for w in $(xdotool search --name '^Tockly$' 2>/dev/null); do
    xwininfo -id "$w" 2>/dev/null | grep -q 'Width: 208' && { echo "$w"; return; }
  done
}
window_left() { xwininfo -id "$(clock_x_window)" 2>/dev/null | awk '/Absolute upper-left X/ {print $4}'; }
clock_mapped() { xwininfo -id "$(clock_x_window)" 2>/dev/null | grep -q 'IsViewable'; }
clock_hidden() { ! clock_mapped; }
clock_ended() { ! kill -0 "$CLOCK_PID" 2>/dev/null; }
window_gone() { ! probe exists "$1"; }
no_notice() { ! probe notice; }

# ----------------------------------------------------------------- menus --
# `probe menu` lists the open menu: "INDEX STATE CAPTION", STATE holding
# g (greyed), c (checked), p (sub-menu), h (the keyboard is on it) or "-".
MENU=""  # the listing of the menu as it was when an item was last chosen
menu_read() { MENU=$(probe menu) && [[ -n "$MENU" ]]; }
menu_has() { menu_read && item_index "$1" >/dev/null; }
no_menu() { ! probe menu; }
item_index() {  # item_index CAPTION: its index in $MENU
  local index state caption
  while read -r index state caption; do
    [[ "$caption" == "$1" ]] && { echo "$index"; return 0; }
  done <<<"$MENU"
  return 1
}
item_state() {  # item_state CAPTION: its state word in $MENU
  local index state caption
  while read -r index state caption; do
    [[ "$caption" == "$1" ]] && { echo "$state"; return 0; }
  done <<<"$MENU"
  return 1
}
highlighted() { grep -E '^[0-9]+ [a-z]*h' <<<"$MENU" | cut -d' ' -f1; }
on_item() { menu_read && [[ "$(highlighted)" == "$1" ]]; }

# Moves the keyboard onto the item with that caption in the open menu: as
# many Down presses as lie between where it is and the item, then waits
# until the menu shows the item highlighted (once more if a key was lost).
walk_to() {  # walk_to CAPTION
  local target count current presses attempt
  for attempt in 1 2; do
    eventually 5 menu_has "$1" || return 1
    target=$(item_index "$1"); count=$(grep -c . <<<"$MENU"); current=$(highlighted)
    if [[ -z "$current" ]]; then presses=$((target + 1)); else presses=$(((target - current + count) % count)); fi
    ((presses > 0)) && xdotool key --delay 30 $(printf 'Down %.0s' $(seq "$presses"))
    eventually 3 on_item "$target" && return 0
  done
  return 1
}

# Chooses an item of the menu that is open (or opening): CAPTION, or
# CAPTION then SUB-CAPTION in its sub-menu. Leaves the menu as it was seen in
# $MENU and waits until the menu has closed.
not_in_menu() {  # not_in_menu CAPTION: says so, with a screenshot, and closes what is open
  echo "# no item $1 in: $MENU"
  import -window root "$BUILD/e2e-work/menus-no-$RANDOM.png" 2>/dev/null
  xdotool key Escape Escape
  return 1
}
choose_open() {  # choose_open CAPTION [SUB-CAPTION]
  walk_to "$1" || { not_in_menu "$1"; return 1; }
  local seen=$MENU
  if [[ -n "${2:-}" ]]; then
    xdotool key Right
    walk_to "$2" || { not_in_menu "$2"; return 1; }
  fi
  xdotool key Return
  MENU=$seen
  eventually 5 no_menu
}

# Runs the command that opens a menu until a menu is open (a click that
# comes while a closing window still holds the mouse is lost).
open_menu_by() {  # open_menu_by COMMAND...
  local attempt
  for attempt in 1 2 3; do
    "$@"
    eventually 4 menu_read && return 0
  done
  return 1
}
# A right-click on the face's background (left of the centre, away from the labels).
right_click_face() {
  read -r CX CY < <(probe client)
  xdotool mousemove $((CX + 35)) $((CY + 100)) click 3
}
choose() {  # choose CAPTION [SUB-CAPTION]
  open_menu_by right_click_face
  choose_open "$@"
}
chosen_with() { [[ "$(item_state "$1")" == *"$2"* ]]; }     # chosen_with CAPTION STATE-LETTER
chosen_without() { [[ "$(item_state "$1")" != *"$2"* ]]; }

echo "# menus: start"
start_clock $'[ToMin]\r\ntomin=1\r\n' || { not_ok "the clock starts"; exit 1; }

# The seven toggles: off, then on again; the menu shows the tick before each.
captions=(马蹄声响 正点报时 半点报时 显示年月 显示日期 显示时间 显示星期)
keys=(matisheng0 zhengdian0 BanDian0 XS_NianYue0 XS_RiQi0 XS_ShiJian0 XS_XingQi0)
for i in "${!keys[@]}"; do
  caption=${captions[$i]} key=${keys[$i]}
  choose "$caption"; check "toggle $key off writes 0" eventually 5 has_line "$key=0"
  check "$caption was ticked in the menu" chosen_with "$caption" c
  choose "$caption"; check "toggle $key on writes 1" eventually 5 has_line "$key=1"
  check "$caption was not ticked in the menu" chosen_without "$caption" c
done

# 时间监护: off writes both keys, on writes only shijianJH.
choose 时间监护; check "时间监护 off writes shijianJH=0" eventually 5 has_line "shijianJH=0"
check "时间监护 off writes jianhuzd=0" has_line "jianhuzd=0"
check "时间监护 can be chosen while the network answers" chosen_without 时间监护 g
sed -i 's/^jianhuzd=0\r$/jianhuzd=1\r/' "$INI"
choose 时间监护; check "时间监护 on writes shijianJH=1" eventually 5 has_line "shijianJH=1"
check "时间监护 on leaves jianhuzd alone" has_line "jianhuzd=1"

# 自启闹钟: on writes the Run value with the program's path, off deletes it.
wine reg delete "$RUN_KEY" /v NaoZhong /f >/dev/null 2>&1
run_value() { wine reg query "$RUN_KEY" /v NaoZhong 2>/dev/null | tr -d '\r' | grep NaoZhong; }
run_value_names_program() { run_value | grep -q 'Tockly.exe'; }
no_run_value() { ! run_value; }
choose 自启闹钟
check "自启闹钟 on writes NaoZhong" eventually 5 run_value_names_program
check "自启闹钟 value has no quotes" bash -c '! grep -q "\"" <<<"$0"' "$(run_value)"
choose 自启闹钟
check "自启闹钟 off deletes NaoZhong" eventually 5 no_run_value

# 闹钟设置 opens the settings dialog.
choose 闹钟设置
check "闹钟设置 opens the dialog" eventually 5 probe exists "$SETTINGS_TITLE"
xdotool search --name '^闹铃设置' windowclose 2>/dev/null
eventually 5 window_gone "$SETTINGS_TITLE"

# 靠右隐藏 parks the window; moving the mouse over it brings it back.
width_px=$(xdpyinfo | awk '/dimensions/ {split($2, d, "x"); print d[1]}')
left_is() { [[ "$(window_left)" == "$1" ]]; }
choose 靠右隐藏
check "靠右隐藏 parks at the right edge" eventually 3 left_is $((width_px - 8))
unpark() { xdotool mousemove $((width_px - 1)) 120 mousemove $((width_px - 2)) 121; left_is $((width_px - 205)); }
check "moving the mouse over it unparks" eventually 3 unpark

# 帮助 shows the help box.
choose "帮    助"
check "帮助 shows the help box" eventually 5 probe exists "帮  助"
help_text=$(probe texts "帮  助")
check "help text names the program" grep -q '纯绿色《Tockly》' <<<"$help_text"
probe ok "帮  助"; eventually 5 window_gone "帮  助"

# Vornhall opens the maker's page, a loopback address in this build: the
# browser is handed the address and its request reaches the local server.
home_before=$(home_requests)
choose Vornhall
check "Vornhall can be chosen while the network answers" chosen_without Vornhall g
check "Vornhall hands the browser the home page" eventually 10 grep -qx "$SERVER/" "$OPENED"
home_reached() { (($(home_requests) > home_before)); }
check "the home page request reaches the local server" eventually 10 home_reached
check "Vornhall leaves the clock running" kill -0 "$CLOCK_PID"

# 缩小闹钟 reduces to the tray; the tray menu's 显示闹钟 restores, 闹铃设置 opens the dialog.
choose 缩小闹钟
check "缩小闹钟 hides the window" eventually 3 clock_hidden
check "缩小闹钟 writes tomin=0" eventually 5 has_line "tomin=0"
tray=$(xdotool search --name '^Wine System Tray$' 2>/dev/null | head -1)
if [[ -n "$tray" ]]; then
  read -r TX TY < <(xwininfo -id "$tray" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}')
  right_click_tray() { xdotool mousemove $((TX + 10)) $((TY + 10)) click 3; }
  open_menu_by right_click_tray
  choose_open 闹铃设置
  check "托盘 闹铃设置 opens the dialog" eventually 5 probe exists "$SETTINGS_TITLE"
  xdotool search --name '^闹铃设置' windowclose 2>/dev/null
  eventually 5 window_gone "$SETTINGS_TITLE"
  open_menu_by right_click_tray
  choose_open 显示闹钟
  check "托盘 显示闹钟 shows the window" eventually 3 clock_mapped
  check "显示闹钟 writes tomin=1" eventually 5 has_line "tomin=1"
else
  not_ok "the tray icon is shown"
fi

# The day label: its tooltip and its message hold today's lunar date.
read -r CX CY < <(probe client)
read -r _ _ date_text animal sign _ < <(date +%F | "$BUILD/host/bin/lunetra" convert)
tooltip=""
for attempt in 1 2 3; do
  # Small moves onto the label, each seen on its own (the first creates the
  # tip, the next ones reach it), then the mouse rests while its delay runs.
  for x in 144 145 146 147; do xdotool mousemove $((CX + x)) $((CY + 100)); sleep 0.2; done
  eventually 5 probe tooltips && tooltip=$(probe tooltips) && break
done
echo "# tooltip: $tooltip"
check "day tooltip holds today's lunar date" grep -qx "农历：【$animal】${date_text#农历}【$sign】" <<<"$tooltip"
xdotool click 3
eventually 5 probe texts "农历信息"; message=$(probe texts "农历信息")
check "day message holds today's lunar date" grep -qx "农历：${date_text#农历}" <<<"$message"
check "day message holds the animal" grep -qx "属相：$animal" <<<"$message"
check "day message holds the star sign" grep -qx "星座：$sign" <<<"$message"
probe ok "农历信息"; eventually 5 window_gone 农历信息

# The spot at the centre lists the alarms.
xdotool mousemove $((CX + 99)) $((CY + 99)) click 1
eventually 5 probe texts "Tockly"; alarms=$(probe texts "Tockly")
echo "# alarm list: $alarms"
check "the centre spot lists the alarms" grep -q '总共有闹铃时间0个，分别如下：' <<<"$alarms"
no_alarm_list() { ! probe texts "Tockly"; }
probe ok "Tockly"; eventually 5 no_alarm_list

# 关闭软件 > 退出: the goodbye notice, then the process is gone within 3 s.
choose 关闭软件 "退    出"
start=$SECONDS
notice_says() { probe notice | grep -qxF "$1"; }
check "退出 shows the goodbye notice" eventually 2 notice_says "Tockly退出啦，再见"
if eventually 4 clock_ended; then ok "退出 ends the program within 3 s ($((SECONDS - start)) s)"; else not_ok "退出 ends the program within 3 s"; fi
stop_clock

# 关闭铃声 silences a ringing alarm. The alarm's sound is a 60 s tone; once it
# is heard, the item closes it: its stream in the capture stops growing long
# before the 60 s are played out.
CAPTURE=${TOCKLY_AUDIO_CAPTURE:-}
if [[ -z "$CAPTURE" ]]; then
  not_ok "the audio capture is set up (TOCKLY_AUDIO_CAPTURE)"
else
  streams_before=$(ls "$CAPTURE"* 2>/dev/null)
  ring_stream() {  # the largest stream that came after streams_before
    local f
    for f in $(ls "$CAPTURE"* 2>/dev/null); do
      grep -qxF "$f" <<<"$streams_before" || echo "$(stat -c %s "$f") $f"
    done | sort -n | tail -1 | cut -d' ' -f2
  }
  ring_size() { local f; f=$(ring_stream); [[ -n "$f" ]] && stat -c %s "$f" || echo 0; }
  # 22050 Hz 16-bit mono goes to the capture as it is stored: 44100 bytes a second.
  heard_for() { (($(ring_size) >= $1 * 44100)); }
  still() { local a; a=$(ring_size); sleep 1; [[ "$(ring_size)" == "$a" ]]; }
  ring_at=$(($(date +%s) + 20))
  prepare_folder "$QUIET"$'[naoling]\r\nNaoLingShu0=1\r\n0sj='"$(date -d "@$ring_at" +%-H:%M:%S)"$'\r\n0ls=long_ring.wav\r\n0ts=\r\n'
  sox -q -n -r 22050 -c 1 -b 16 "$WORK/Voice/NaoLing/long_ring.wav" synth 60 sine 660 vol 0.5
  if launch_clock && (($(date +%s) < ring_at)); then
    check "the alarm rings" eventually 30 heard_for 1
    ring_loud() { sox -t raw -r 22050 -e signed -b 16 -c 1 "$(ring_stream)" -n stat 2>&1 | awk '/Maximum amplitude/ {exit !($3 > 0.2)}'; }
    check "the ring is the alarm's tone, loud" ring_loud
    echo "# ring heard: $(ring_size) bytes"
    choose 关闭铃声
    check "关闭铃声 stops the ring" eventually 5 still
    echo "# ring stream: $(ring_stream) $(ring_size) bytes"
    cut_short() { (($(ring_size) < 30 * 44100)); }
    check "关闭铃声 stops the ring before its end" cut_short
    check "关闭铃声 leaves the clock running" kill -0 "$CLOCK_PID"
  else
    not_ok "the clock starts before its alarm is due"
  fi
  stop_clock

  # "5 分钟后再响" puts the ringing alarm off: the ring stops and comes back
  # five minutes on (the clock's time moved through the test hook's file),
  # the alarm list shows it meanwhile, a restart keeps it, and 关闭铃声
  # cancels it. The second time it is put off by a click on its band.
  OFFSET_FILE="$BUILD/e2e-work/menus-clock-offset"
  echo 0 > "$OFFSET_FILE"
  export TOCKLY_TEST_WALL_CLOCK_OFFSET_FILE; TOCKLY_TEST_WALL_CLOCK_OFFSET_FILE=$(winepath -w "$OFFSET_FILE" 2>/dev/null)
  pending() { tr -d '\r' < "$INI" | sed -n 's/^dengdai=//p'; }
  pending_due() { date -d "$(pending | cut -d, -f2)" +%s; }
  snooze_stored() { [[ "$(pending)" == 0,*,"$1" ]]; }
  snooze_stored_none() { has_line 'dengdai=' && [[ -z "$(pending)" ]]; }
  new_ring() { streams_before=$(ls "$CAPTURE"* 2>/dev/null); }
  list_says() {  # list_says TEXT: the alarm list, opened at the centre spot, holds it
    local list
    read -r CX CY < <(probe client)
    xdotool mousemove $((CX + 99)) $((CY + 99)) click 1
    eventually 5 probe texts "Tockly"; list=$(probe texts "Tockly"); probe ok "Tockly"; eventually 5 no_alarm_list
    echo "# alarm list: $list"
    grep -q "$1" <<<"$list"
  }
  band_window() {  # the notice band: the window named Tockly as wide as the screen
    local w
    for w in $(xdotool search --name '^Tockly$' 2>/dev/null); do
      xwininfo -id "$w" 2>/dev/null | grep -q "Width: $width_px" && { echo "$w"; return 0; }
    done
    return 1
  }
  band_in_middle() { local w; w=$(band_window) && xwininfo -id "$w" | awk -v h="$(xdpyinfo | awk '/dimensions/ {split($2, d, "x"); print d[2]}')" '/Absolute upper-left Y/ {exit !($4 > h / 3)}'; }
  click_band_text() {  # on a pixel of the band's text (blue; the white around it lets clicks through)
    local w x y at
    w=$(band_window) || return 1
    read -r x y < <(xwininfo -id "$w" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}')
    at=$(import -window root -crop "$((width_px - 100))x75+$x+$y" txt:- 2>/dev/null | grep -m1 -E "#0000FF\b|#00000000FFFF" | cut -d: -f1)
    [[ -n "$at" ]] || return 1
    xdotool mousemove $((x + ${at%,*})) $((y + ${at#*,})) click 1
  }
  new_ring
  ring_at=$(($(date +%s) + 20))
  prepare_folder "$QUIET"$'[naoling]\r\nNaoLingShu0=1\r\n0sj='"$(date -d "@$ring_at" +%-H:%M:%S)"$'\r\n0ls=long_ring.wav\r\n0ts='"$(printf '起床啦' | iconv -f utf-8 -t gbk)"$'\r\n'
  sox -q -n -r 22050 -c 1 -b 16 "$WORK/Voice/NaoLing/long_ring.wav" synth 60 sine 660 vol 0.5
  if launch_clock && (($(date +%s) < ring_at)); then
    check "the alarm to put off rings" eventually 30 heard_for 1
    choose "5 分钟后再响"
    check "5 分钟后再响 stops the ring" eventually 5 still
    check "5 分钟后再响 stores the snooze" eventually 5 snooze_stored 1
    check "the alarm list shows the pending snooze" list_says "再响：.*第1次再响"
    due=$(pending_due)
    stop_clock
    if launch_clock; then
      check "after a restart the snooze is still pending" list_says "再响：.*第1次再响"
      new_ring
      # Five minutes on, less eight seconds.
      echo $((due - $(date +%s) - 8)) > "$OFFSET_FILE"
      check "the snooze rings again five minutes on" eventually 30 heard_for 1
      check "its band comes with it" eventually 10 band_in_middle
      click_band_text
      check "a click on the band puts it off again" eventually 5 still
      check "the second snooze is stored" eventually 5 snooze_stored 2
      due=$(pending_due)
      choose 关闭铃声
      check "关闭铃声 cancels the pending snooze" eventually 5 snooze_stored_none
      new_ring
      # Past the time it would have rung.
      echo $((due - $(date +%s) + 5)) > "$OFFSET_FILE"
      sleep 8
      check "a cancelled snooze never rings" bash -c "(($(ring_size) == 0))"
    else
      not_ok "the clock starts again with a pending snooze"
    fi
  else
    not_ok "the clock starts before its alarm to put off is due"
  fi
  stop_clock
  unset TOCKLY_TEST_WALL_CLOCK_OFFSET_FILE
fi

# The lunar texts without a registered control: from Lunetra.ocx beside the
# program, and a plain notice when that file is missing too. The prefix is
# shared, so a registration taken away here is put back at the end.
OCX_WIN=$(winepath -w "$TOCKLY_DIST/Lunetra.ocx")
registered() { wine reg query 'HKCR\Lunetra2.Lunetra' >/dev/null 2>&1; }
was_registered=false
registered && was_registered=true
wine regsvr32 /u /s "$OCX_WIN" >/dev/null 2>&1
day_message() {
  read -r CX CY < <(probe client)
  xdotool mousemove $((CX + 146)) $((CY + 100)) click 3
  eventually 5 probe texts "农历信息"; probe texts "农历信息"; probe ok "农历信息"
}
if start_clock $'[ToMin]\r\ntomin=1\r\n'; then
  message=$(day_message)
  check "unregistered: the day message comes from Lunetra.ocx beside the program" grep -qx "属相：$animal" <<<"$message"
  stop_clock
fi
prepare_folder $'[ToMin]\r\ntomin=1\r\n'
rm -f "$WORK/Lunetra.ocx"
if launch_clock; then
  message=$(day_message)
  check "no control at all: the day message says the calendar is unavailable" grep -q '农历日历不可用' <<<"$message"
  check "no control at all: the clock keeps running" kill -0 "$CLOCK_PID"
else
  not_ok "the clock starts without Lunetra.ocx"
fi
stop_clock
if $was_registered; then
  wine regsvr32 /s "$OCX_WIN" >/dev/null 2>&1
  check "the control's registration is put back" registered
fi
echo "# menus: done in $SECONDS s"
