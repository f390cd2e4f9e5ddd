# Sourced by the Windows desktop tests after wine-desktop.sh: what they ask of the demo
# gateway on the widget's port, the settings file of a demo place, and the tray icon's tip
# read off the screen.
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

# check_tray_tip WANTED: the one tray icon's tip, hovered over and read by OCR, is WANTED
# (near enough for OCR); its picture stays as $work/tip.png.
check_tray_tip() {
  local tray icon tip
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
