#!/usr/bin/env bash
# The gateway's live source over HTTPS through Windows' own TLS (Schannel), under Wine:
# a loopback HTTPS stand-in for the source with a certificate made here, refused while the
# prefix does not trust it and used once the user's trusted roots hold it.
#   https-source-test.sh GATEWAY_EXE TRUST_CERTIFICATE_EXE DATA_FOLDER WORK_FOLDER
set -euo pipefail

gateway_exe=$1
trust_exe=$2
data=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-prefix.sh
source "$here/wine-prefix.sh" "$4"

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 \
  -addext subjectAltName=IP:127.0.0.1 -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl x509 -in "$work/cert.pem" -outform der -out "$work/cert.der"

coproc upstream { exec python3 "$here/https_upstream.py" "$work/cert.pem" "$work/key.pem" \
  "/v1/search=$data/geocoding_search.json" "/v1/forecast=$data/forecast_metric.json"; }
children+=("$upstream_PID")
read -r -t 10 upstream_port <&"${upstream[0]}" || fail "the HTTPS stand-in did not start"
base="https://127.0.0.1:$upstream_port/v1"

# gateway: starts the gateway on the stand-in; its port goes into $gateway_port.
gateway() {
  local log=$work/gateway-$1.log
  wine "$gateway_exe" --listen 127.0.0.1:0 --forecast-url "$base/forecast" \
    --geocoding-url "$base" --cache-dir "C:\\gateway-cache-$1" --upstream-timeout 5000 \
    --nominatim-url "${base%/v1}" --met-norway-url "$base/locationforecast/2.0" \
    >"$log" 2>&1 &
  children+=($!)
  poll 30 'grep -q "listening on" "$log"' || fail "the gateway did not start: $(cat "$log")"
  gateway_port=$(grep -o 'listening on [0-9.]*:[0-9]*' "$log" | head -n 1 | sed 's/.*://')
}

# search WORDS: the gateway's reply to the widget's search for WORDS.
search() {
  exec 5<>"/dev/tcp/127.0.0.1/$gateway_port"
  printf "GET /v1/public/yql?q=select%%20*%%20from%%20geo.places%%20where%%20text%%20%%3D%%20'%s' HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n" "$1" >&5
  timeout 20 cat <&5
  exec 5<&-
}

gateway untrusted
search Minneapolis >"$work/untrusted.txt"
grep -q '<woeid>' "$work/untrusted.txt" && fail "a certificate nobody trusts was accepted"
grep -qi 'certificate\|ssl\|tls' "$work/gateway-untrusted.log" ||
  fail "the refused certificate was not logged: $(cat "$work/gateway-untrusted.log")"

wine "$trust_exe" "$work/cert.der" || fail "the certificate could not be trusted"
gateway trusted
search Minneapolis >"$work/trusted.txt"
woeid=$(grep -o '<woeid>[^<]*</woeid>' "$work/trusted.txt" | head -n 1 | sed 's/<[^>]*>//g')
[[ -n "$woeid" ]] || fail "no place came over HTTPS: $(cat "$work/gateway-trusted.log")"
grep -q 'Schannel\|schannel' "$work/gateway-trusted.log" ||
  fail "the gateway does not name Windows' TLS: $(head -n 3 "$work/gateway-trusted.log")"
exec 5<>"/dev/tcp/127.0.0.1/$gateway_port"
printf 'GET /forecastrss?w=%s&u=c HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n' "$woeid" >&5
timeout 20 cat <&5 >"$work/feed.txt"
grep -q 'temp="-3"' "$work/feed.txt" || fail "no forecast came over HTTPS: $(cat "$work/feed.txt")"
echo "HTTPS through Schannel: place $woeid found"
