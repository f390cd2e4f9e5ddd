# Sourced by the Windows desktop tests after wine-desktop.sh: what they ask of the demo
# gateway on the widget's port, the settings file of a demo place, and the tray icon's tip
# read off the screen, "Start on Windows" in the options, and Exit from the tray's menu.
port=8417

# http_get PATH: the gateway's whole reply to one request.
http_get() {
  exec 5<>"/dev/tcp/127.0.0.1/$port"
  printf 'GET %s HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n' "$1" >&5
  cat <&5
  exec 5<&-
}

port_open() {
  (exec 5<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null
}

# demo_place NAME: the demo source's place of that name: its id in $woeid, its temperature
# in Fahrenheit as the feed gives it in $temperature.
demo_place() {
  local query="select%20*%20from%20geo.places%20where%20text%20%3D%20'$1'" search feed
  search=$(http_get "/v1/public/yql?q=$query")
  woeid=$(grep -o '<woeid>[^<]*</woeid>' <<<"$search" | head -n 1 | sed 's/<[^>]*>//g')
  [[ -n "$woeid" ]] || fail "the demo search found no $1: $search"
  feed=$(http_get "/forecastrss?w=$woeid&u=f")
  temperature=$(grep -o 'yweather:condition [^>]*temp="[^"]*"' <<<"$feed" | sed 's/.*temp="\([^"]*\)"/\1/')
  [[ -n "$temperature" ]] || fail "the demo feed has no temperature: $feed"
}

# demo_settings LEFT: a settings file for the demo's Chicago (after demo_place Chicago),
# shown, hourly, at LEFT × 1500 twips, Fahrenheit.
demo_settings() {
  printf '0\r\n0\r\n1\r\n%s\r\n1500\r\n%s\r\n0\r\nChicago, IL\r\n' "$1" "$woeid"
}

# tray_icon: the window of the one icon in trayer's tray.
tray_icon() {
  local tray
  tray=$(xdotool search --onlyvisible --class '^trayer$' | head -n 1)
  tray_icons() {
    xwininfo -id "$tray" -children 2>/dev/null |
      awk '/\+[0-9]+\+[0-9]+ +\+[0-9]+\+[0-9]+$/ && $0 !~ / 1x1\+/ { print $1 }'
  }
  poll 20 'test "$(tray_icons | wc -l)" -eq 1' || fail "not one icon in the tray: $(tray_icons)"
  tray_icons
}

# check_tray_tip WANTED: the one tray icon's tip, hovered over and read by OCR, is WANTED
# (near enough for OCR); its picture stays as $work/tip.png.
check_tray_tip() {
  local icon tip
  icon=$(tray_icon)
  xdotool mousemove --window "$icon" 8 8
  sleep 0.5
  xdotool mousemove --window "$icon" 10 10
  tip_window() {
    xwininfo -root -children | awk '/"explorer.exe"/ && !/102x26/ { print $1 }' |
      while read -r id; do
        xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && echo "$id" && break
      done
  }
  poll 10 'test -n "$(tip_window)"' || fail "no tip showed over the tray icon"
  sleep 0.5
  import -window "$(tip_window)" "$work/tip.png"
  convert "$work/tip.png" -scale 400% -colorspace Gray "$work/tip-large.png"
  tip=$(tesseract "$work/tip-large.png" - --psm 7 2>/dev/null)
  python3 - "$tip" "$1" <<'PY' || fail "the tray tip reads \"$tip\""
import difflib, sys
seen, wanted = (" ".join(text.split()) for text in sys.argv[1:3])
ratio = difflib.SequenceMatcher(None, seen, wanted).ratio()
print(f"tray tip read as {seen!r}, wanted {wanted!r} ({ratio:.2f} alike)")
sys.exit(0 if ratio >= 0.85 else 1)
PY
}

# toggle_start_on_windows WINDOW: Options from the button under the widget WINDOW's panel;
# "Start on Windows" ticked or unticked, then Okay. The dialog's client area is 435 × 327
# pixels; the frame Wine draws around it is even at the sides.
toggle_start_on_windows() {
  xdotool mousemove --window "$1" 159 309 click 1
  poll 20 'test -n "$(window_named Options)"' || fail "the options dialog never showed"
  local dialog WIDTH HEIGHT side top
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

# exit_from_tray_menu: the tray icon's menu, opened with the right button; its last item,
# Exit, clicked.
exit_from_tray_menu() {
  local icon
  icon=$(tray_icon)
  # A press held a moment, as a hand does: a click at once is lost to the tip.
  xdotool mousemove --window "$icon" 10 10
  sleep 0.3
  xdotool mousedown 3
  sleep 0.2
  xdotool mouseup 3
  tray_menu() {
    xwininfo -root -children |
      awk '/"brisora.exe"/ && !/"(Brisora|QTrayIconMessageWindow|Default IME)"/ { print $1 }' |
      while read -r id; do
        xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && echo "$id" && break
      done
  }
  poll 10 'test -n "$(tray_menu)"' || fail "no menu opened on the tray icon"
  sleep 0.5
  shot tray-menu
  local menu WIDTH HEIGHT
  menu=$(tray_menu)
  eval "$(xdotool getwindowgeometry --shell "$menu")"
  # Exit, the last item, some 13 pixels above the menu's lower edge.
  xdotool mousemove --window "$menu" $((WIDTH / 2)) $((HEIGHT - 13)) click 1
}
