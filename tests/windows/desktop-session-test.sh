#!/usr/bin/env bash
# The Windows programs on a desktop, under Wine: openbox and trayer on a display of the
# test's own, brisora-gateway.exe serving its demo source on the widget's port, and
# brisora.exe started with a settings file for a demo place. The panel shows that place's
# weather with every caption whole, the tray icon's tip is "place : temperature", and
# "Start on Windows" in Options writes and removes the Run value.
#   desktop-session-test.sh BRISORA_EXE GATEWAY_EXE WORK_FOLDER [LINUX_BRISORA]
# With LINUX_BRISORA, the Linux program shows the same place beside it for comparison.
set -euo pipefail

brisora_exe=$1
gateway_exe=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-desktop.sh
source "$here/wine-desktop.sh" "$3"
linux_brisora=${4:-}
port=8417
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

# http_get PATH: the gateway's whole reply to one request.
http_get() {
  exec 5<>"/dev/tcp/127.0.0.1/$port"
  printf 'GET %s HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n' "$1" >&5
  cat <&5
  exec 5<&-
}

# An installed-looking folder with a blank in its name, as a Run value must quote.
folder="$WINEPREFIX/drive_c/Brisora Test"
mkdir -p "$folder"
cp "$brisora_exe" "$gateway_exe" "$folder/"

if (exec 5<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
  fail "something already listens on 127.0.0.1:$port"
fi
wine_run "$folder/brisora-gateway.exe" --demo --listen "127.0.0.1:$port"
poll 30 '(exec 5<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null' || fail "the gateway never listened"

search=$(http_get "/v1/public/yql?q=select%20*%20from%20geo.places%20where%20text%20%3D%20'Chicago'")
woeid=$(grep -o '<woeid>[^<]*</woeid>' <<<"$search" | head -n 1 | sed 's/<[^>]*>//g')
[[ -n "$woeid" ]] || fail "the demo search found no Chicago: $search"
feed=$(http_get "/forecastrss?w=$woeid&u=f")
temperature=$(grep -o 'yweather:condition [^>]*temp="[^"]*"' <<<"$feed" | sed 's/.*temp="\([^"]*\)"/\1/')
[[ -n "$temperature" ]] || fail "the demo feed has no temperature: $feed"

# Shown, hourly, at 100 × 100 pixels (twips), the demo place, Fahrenheit.
printf '0\r\n0\r\n1\r\n1500\r\n1500\r\n%s\r\n0\r\nChicago, IL\r\n' "$woeid" >"$folder/brisora.conf"
wine_run "$folder/brisora.exe"
poll 60 'test -n "$(window_named Brisora)"' || fail "the widget's window never showed"
window=$(window_named Brisora)

# The weather arrives within the first attempts; then the panel is looked at.
sleep 8
shot windows-panel "$window"
if [[ -n "$linux_brisora" ]]; then
  # The Linux program beside it, on the same gateway: the panel as it was laid out.
  mkdir -p "$work/linux"
  printf '0\r\n0\r\n1\r\n6000\r\n1500\r\n%s\r\n0\r\nChicago, IL\r\n' "$woeid" >"$work/linux/brisora.conf"
  cp "$linux_brisora" "$work/linux/brisora"
  QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/linux "$work/linux/brisora" >/dev/null 2>&1 &
  children+=($!)
  poll 30 'test "$(xdotool search --onlyvisible --name "^Brisora$" | wc -l)" -ge 2' ||
    fail "the Linux widget never showed"
  linux_window=$(xdotool search --onlyvisible --name '^Brisora$' | grep -vx "$window" | head -n 1)
  sleep 5
  shot linux-panel "$linux_window"
  shot desktop
  python3 "$here/compare_panels.py" "$work/windows-panel.png" "$work/linux-panel.png" ||
    fail "a caption on Windows is not shown whole as on Linux (see $work/*.png)"
  # Its tray icon goes with it, before the Windows program's is looked for.
  kill "${children[-1]}"
  wait "${children[-1]}" 2>/dev/null || true
fi

# The tray icon's tip, read off the screen: hover over the icon, find the tip's window.
tray=$(xdotool search --onlyvisible --class '^trayer$' | head -n 1)
tray_icons() {
  xwininfo -id "$tray" -children 2>/dev/null |
    awk '/\+[0-9]+\+[0-9]+ +\+[0-9]+\+[0-9]+$/ && $0 !~ / 1x1\+/ { print $1 }'
}
poll 20 'test "$(tray_icons | wc -l)" -eq 1' || fail "not one icon in the tray: $(tray_icons)"
icon=$(tray_icons)
xdotool mousemove --window "$icon" 8 8
sleep 0.5
xdotool mousemove --window "$icon" 10 10
tip_window() {
  xwininfo -root -children | awk '/"explorer.exe"/ && !/102x26/ { print $1 }' | while read -r id; do
    xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && echo "$id" && break
  done
}
poll 10 'test -n "$(tip_window)"' || fail "no tip showed over the tray icon"
sleep 0.5
import -window "$(tip_window)" "$work/tip.png"
convert "$work/tip.png" -scale 400% -colorspace Gray "$work/tip-large.png"
tip=$(tesseract "$work/tip-large.png" - --psm 7 2>/dev/null)
# The demo place's name as the feed gives it, and the feed's temperature.
python3 - "$tip" "Chicago, Illinois (demo) : $temperature °F" <<'PY' || fail "the tray tip reads \"$tip\""
import difflib, sys
seen, wanted = (" ".join(text.split()) for text in sys.argv[1:3])
ratio = difflib.SequenceMatcher(None, seen, wanted).ratio()
print(f"tray tip read as {seen!r}, wanted {wanted!r} ({ratio:.2f} alike)")
sys.exit(0 if ratio >= 0.85 else 1)
PY

# Options from the button under the panel; "Start on Windows", then Okay. The dialog's
# client area is 435 × 327 pixels; the frame Wine draws around it is even at the sides.
# toggle_start_on_windows: ticks or unticks the box and leaves the dialog with Okay.
toggle_start_on_windows() {
  xdotool mousemove --window "$window" 159 309 click 1
  poll 20 'test -n "$(window_named Options)"' || fail "the options dialog never showed"
  local dialog width height side top
  dialog=$(window_named Options)
  eval "$(xdotool getwindowgeometry --shell "$dialog")"
  side=$(((WIDTH - 435) / 2))
  top=$((HEIGHT - 327 - side))
  sleep 1
  xdotool mousemove --window "$dialog" $((side + 27)) $((top + 21)) click 1
  sleep 0.5
  shot options "$dialog"
  xdotool mousemove --window "$dialog" $((side + 380)) $((top + 298)) click 1
  poll 20 'test -z "$(window_named Options)"' || fail "Okay did not close the dialog"
}

run_value() {
  wine reg query "$run_key" /v Brisora 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p'
}

toggle_start_on_windows
poll 10 'test -n "$(run_value)"' || fail "Okay with \"Start on Windows\" wrote no Run value"
[[ "$(run_value)" == '"C:\Brisora Test\brisora.exe"' ]] || fail "the Run value is $(run_value)"
toggle_start_on_windows
poll 10 'test -z "$(run_value)"' || fail "unticking left the Run value: $(run_value)"
echo "panel, tray tip and Run value as a Windows user sees them"
