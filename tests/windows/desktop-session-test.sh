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
# shellcheck source=widget-checks.sh
source "$here/widget-checks.sh"
linux_brisora=${4:-}
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

# An installed-looking folder with a blank in its name, as a Run value must quote.
folder="$WINEPREFIX/drive_c/Brisora Test"
mkdir -p "$folder"
cp "$brisora_exe" "$gateway_exe" "$folder/"

port_open && fail "something already listens on 127.0.0.1:$port"
wine_run "$folder/brisora-gateway.exe" --demo --listen "127.0.0.1:$port"
poll 30 port_open || fail "the gateway never listened"

demo_place Chicago
# At 100 × 100 pixels.
demo_settings 1500 >"$folder/brisora.conf"
wine_run "$folder/brisora.exe"
poll 60 'test -n "$(window_named Brisora)"' || fail "the widget's window never showed"
window=$(window_named Brisora)

# The weather arrives within the first attempts; then the panel is looked at.
sleep 8
shot windows-panel "$window"
if [[ -n "$linux_brisora" ]]; then
  # The Linux program beside it, on the same gateway: the panel as it was laid out.
  mkdir -p "$work/linux"
  demo_settings 6000 >"$work/linux/brisora.conf"
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

# The tray icon's tip: the demo place's name as the feed gives it, and the feed's temperature.
check_tray_tip "Chicago, Illinois (demo) : $temperature °F"

run_value() {
  wine reg query "$run_key" /v Brisora 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p'
}

toggle_start_on_windows "$window"
poll 10 'test -n "$(run_value)"' || fail "Okay with \"Start on Windows\" wrote no Run value"
[[ "$(run_value)" == '"C:\Brisora Test\brisora.exe"' ]] || fail "the Run value is $(run_value)"
toggle_start_on_windows "$window"
poll 10 'test -z "$(run_value)"' || fail "unticking left the Run value: $(run_value)"
echo "panel, tray tip and Run value as a Windows user sees them"
