#!/usr/bin/env bash
# Smoke test of the Debian package: installed, removed and purged in a root of its own, it
# keeps the gateway's cache until purged; and of its own files, extracted: the desktop entry
# and metadata validate; the gateway, started the way its socket unit says (through
# systemd-socket-activate, with the demo source as `systemctl edit` would switch it), answers
# a place search; and the packaged widget under Xvfb shows that place's weather: its panel,
# blank while no place is set, fills in.
#   tests/package/smoke-test.sh [PACKAGE.deb]
#
# The widget's host is compiled in (127.0.0.1:8417), so the gateway must serve on the unit's
# own address. The test runs in a network namespace of its own when it can get one, so
# nothing else on the machine can hold that port or answer in its place.
set -euo pipefail
cd "$(dirname "$0")/../.."

if [[ -z "${BRISORA_SMOKE_IN_NAMESPACE:-}" ]]; then
  for unshare in "unshare --net --map-root-user" "unshare --net"; do
    if $unshare true 2>/dev/null; then
      BRISORA_SMOKE_IN_NAMESPACE=1 exec $unshare "$0" "$@"
    fi
  done
  echo "smoke test: no network namespace available, using the machine's loopback"
else
  ip link set lo up
fi

deb=${1:-$(ls -t build/package/brisora_*.deb | head -n 1)}
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "smoke test FAILED: $*" >&2
  for log in "$work"/*.log; do [[ -s $log ]] && { echo "--- $log"; cat "$log"; } >&2; done
  exit 1
}

pkg="$work/pkg"
dpkg-deb -x "$deb" "$pkg"
desktop-file-validate "$pkg/usr/share/applications/org.brisora.Brisora.desktop"
appstreamcli validate --no-net "$pkg/usr/share/metainfo/org.brisora.Brisora.metainfo.xml"

# The package installed, removed and purged in a root of its own, its maintainer scripts run
# by dpkg outside a chroot (with DPKG_ROOT set). Removal keeps the gateway's cache, purge
# deletes it, and nothing that a link in it points at.
root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/log"
touch "$root/var/lib/dpkg/status"
# The chroot convention: the scripts start and stop no service of this machine.
mkdir -p "$root/usr/sbin"
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"
dpkg_in_root() {
  dpkg --root="$root" --force-script-chrootless --force-not-root --force-depends "$@" \
    >>"$work/dpkg.log" 2>&1 || fail "dpkg $* failed"
}
dpkg_in_root --install "$deb"
# The cache as systemd makes it for the dynamic user (a private folder and a link to it),
# with what the gateway keeps there and a link to somewhere else.
cache="$root/var/cache/private/brisora-gateway"
mkdir -p "$cache/places" "$work/elsewhere"
chmod 700 "$root/var/cache/private"
echo '{}' >"$cache/places/44418.json"
touch "$work/elsewhere/kept"
ln -s "$work/elsewhere" "$cache/elsewhere"
ln -s private/brisora-gateway "$root/var/cache/brisora-gateway"
dpkg_in_root --remove brisora
[[ ! -e "$root/usr/bin/brisora-gateway" ]] || fail "removal left the gateway's program"
[[ -f "$root/var/cache/brisora-gateway/places/44418.json" ]] ||
  fail "removal deleted the gateway's cache"
dpkg_in_root --purge brisora
[[ ! -e "$cache" && ! -L "$root/var/cache/brisora-gateway" ]] ||
  fail "purge left the gateway's cache: $(ls -la "$root/var/cache" "$root/var/cache/private")"
[[ -f "$work/elsewhere/kept" && -d "$root/var/cache/private" ]] ||
  fail "purge deleted more than the gateway's cache"
echo "smoke test: removal kept the gateway's cache, purge deleted it"

# The gateway as its units say: the socket's address, the service's command line.
socket_unit=$(find "$pkg" -name brisora-gateway.socket -path '*/systemd/system/*')
service_unit=${socket_unit%.socket}.service
listen=$(sed -n 's/^ListenStream=//p' "$socket_unit")
read -ra command <<<"$(sed -n 's/^ExecStart=//p' "$service_unit")"
command[0]="$pkg${command[0]}"
host=${listen%:*}
port=${listen##*:}
if (exec 3<>"/dev/tcp/$host/$port") 2>/dev/null; then
  fail "something already listens on $listen"
fi
systemd-socket-activate -l "$listen" "${command[@]}" --demo >"$work/gateway.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do
  grep -q "Listening on" "$work/gateway.log" && break
  sleep 0.1
done

# The widget's place search, as it sends it.
search() {
  exec 3<>"/dev/tcp/$host/$port"
  printf 'GET /v1/public/yql?q=select%%20*%%20from%%20geo.places%%20where%%20text%%20%%3D%%20%%27%s%%27 HTTP/1.1\r\nHost: %s\r\nConnection: close\r\n\r\n' \
    "$1" "$listen" >&3
  timeout 5 cat <&3
  exec 3<&-
}
reply=$(search london) || fail "no answer to the place search"
woeid=$(grep -o '<woeid>[0-9]*</woeid>' <<<"$reply" | head -n 1 | tr -dc 0-9)
[[ -n $woeid ]] || fail "the place search found nothing: $reply"
echo "smoke test: the gateway found London as $woeid"

# A display, and the packaged widget on it with a settings file of its own. With no window
# manager the first widget is the display's last client, and a server that resets when that
# leaves refuses the next widget if it connects meanwhile: hence -noreset.
Xvfb -displayfd 4 -nolisten tcp -noreset -screen 0 640x480x24 4>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [[ -s "$work/display" ]] && break; sleep 0.1; done
[[ -s "$work/display" ]] || fail "Xvfb did not start"
display=":$(cat "$work/display")"
shots=build/package/smoke
rm -rf "$shots"
mkdir -p "$shots"

# Starts the widget (`widget`, its window `window`) with `woeid` and `name` as its place.
start_widget() {
  local home="$work/home-$1"
  mkdir -p "$home/config/brisora" "$home/runtime"
  chmod 700 "$home/runtime"
  # Wherever this build keeps its settings: beside the program or in the per-user file.
  printf '0\r\n0\r\n1\r\n1500\r\n1500\r\n%s\r\n1\r\n%s\r\n' "$2" "$3" |
    tee "$pkg/usr/bin/brisora.conf" >"$home/config/brisora/brisora.conf"
  HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime" \
    DISPLAY="$display" QT_QPA_PLATFORM=xcb "$pkg/usr/bin/brisora" >"$work/widget-$1.log" 2>&1 &
  widget=$!
  pids+=("$widget")
  window=""
  for _ in $(seq 100); do
    window=$(DISPLAY="$display" xdotool search --onlyvisible --pid "$widget" 2>/dev/null | head -n 1) &&
      [[ -n $window ]] && break
    sleep 0.1
  done
  [[ -n $window ]] || fail "the widget showed no window"
}
# The weather panel (picPanel, above the progress row) of the window's picture; the whole
# window is kept in build/package/smoke/ to look at.
panel() {
  DISPLAY="$display" import -window "$1" "$shots/$2-window.png"
  convert "$shots/$2-window.png" -crop 201x195+3+76 +repage "$shots/$2.png"
}
stop_widget() {
  kill "$widget"
  wait "$widget" 2>/dev/null || true
}

start_widget blank 99999999 ">none"
sleep 1
panel "$window" blank
stop_widget

start_widget london "$woeid" ">London"
differing=0
for _ in $(seq 40); do
  sleep 0.5
  panel "$window" london
  differing=$(compare -metric AE -fuzz 10% "$shots/blank.png" "$shots/london.png" null: 2>&1 || true)
  differing=${differing%%[^0-9]*}
  ((differing > 1000)) && break
done
((differing > 1000)) || fail "the panel stayed blank ($differing pixels changed)"
echo "smoke test: passed (the widget's panel shows London's weather: $differing pixels changed)"
