# Sourced by the Windows tests after wine-prefix.sh: the widget's own start of the gateway.
# Defines `check_gateway_started_on_demand`.

# windows_processes NAME: Wine's processes of the Windows program NAME (brisora.exe, say),
# whose command lines begin with the program's Windows path.
windows_processes() {
  pgrep -f "^[A-Za-z]:\\\\(.*\\\\)?$1( |\$)" || true
}

# check_gateway_started_on_demand FOLDER: with nothing on the widget's port, FOLDER's
# brisora.exe (with its settings ready) starts FOLDER's brisora-gateway.exe itself, with no
# window, logging to the user's local application data; the gateway answers on
# 127.0.0.1:8417; a close request ends the widget, and the gateway then ends by itself once
# idle (BRISORA_GATEWAY_IDLE_SECONDS shortens its quarter of an hour).
check_gateway_started_on_demand() {
  local folder=$1 log
  [[ -z "$(windows_processes brisora-gateway.exe)" ]] || fail "a gateway runs already"
  if (exec 5<>/dev/tcp/127.0.0.1/8417) 2>/dev/null; then
    fail "something already listens on 127.0.0.1:8417"
  fi
  BRISORA_GATEWAY_IDLE_SECONDS=10 wine_run "$folder/brisora.exe"
  poll 60 'test -n "$(windows_processes brisora-gateway.exe)"' ||
    fail "the widget started no gateway"
  poll 30 '(exec 5<>/dev/tcp/127.0.0.1/8417) 2>/dev/null' ||
    fail "the gateway the widget started never listened on 127.0.0.1:8417"
  exec 5<>/dev/tcp/127.0.0.1/8417
  printf 'GET /forecastrss?w=1&u=c HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n' >&5
  grep -q '^HTTP/1.1 ' <(timeout 20 cat <&5) || fail "the gateway the widget started did not answer"
  exec 5<&-
  log=$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')")/Brisora/gateway
  poll 10 'ls "$log"/brisora-gateway.log >/dev/null 2>&1' ||
    fail "the gateway the widget started keeps no log in $log"
  [[ -z "$(xdotool search --onlyvisible --name 'brisora-gateway' 2>/dev/null)" ]] ||
    fail "the gateway the widget started opened a window"
  wine taskkill /IM brisora.exe >>"$work/wine.log" 2>&1 || true
  poll 30 'test -z "$(windows_processes brisora.exe)"' || fail "a close request left the widget running"
  poll 90 'test -z "$(windows_processes brisora-gateway.exe)"' ||
    fail "the gateway the widget started did not end by itself once idle"
  echo "the widget started its gateway, which ended by itself once idle"
}
