#!/usr/bin/env bash
# The Windows installer under Wine, on a desktop of the test's own (openbox, trayer):
# installed silently for the current user, the files, the Start menu's shortcut and the
# "Apps & features" entry are there; the installed widget, started by its shortcut against
# the installed gateway's demo source, shows the place of its settings in the tray tip,
# writes its own Run value from "Start on Windows", and writes its settings on Exit from the
# tray's menu; installed again over itself (an upgrade) while it runs, it is asked to exit
# first and its settings and Run value stay; started with nothing on its port, it starts
# the installed gateway itself, which ends once idle; uninstalled silently while it and that
# gateway run, everything of the program goes and the settings stay. Then once more for all
# users (/AllUsers): Program Files, the common Start menu, HKLM.
#   installer-test.sh SETUP_EXE WORK_FOLDER
set -euo pipefail

setup=$1
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-desktop.sh
source "$here/wine-desktop.sh" "$2"
# shellcheck source=widget-checks.sh
source "$here/widget-checks.sh"
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Brisora'

# windows_folder VARIABLE: the folder a Windows environment variable names, as a Unix path.
windows_folder() {
  winepath -u "$(wine cmd /c echo "%$1%" | tr -d '\r')" 2>/dev/null
}

# reg_value KEY NAME: the data of a registry value, empty when there is none.
reg_value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}

key_exists() {
  wine reg query "$1" >/dev/null 2>&1
}

# running NAME: whether a Windows process of this prefix runs the program NAME.
running() {
  local pid
  # Started from this side, its command line is the Unix path; from Windows, the Windows one.
  for pid in $(pgrep -f -i "[/\\\\]$1( |\$)" || true); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
      return 0
  done
  return 1
}

# check_installed FOLDER START_MENU ROOT MODE: the files in FOLDER, the shortcut in
# START_MENU, and the uninstall key under ROOT (HKCU, HKLM) for /MODE.
check_installed() {
  local file key=$3\\$uninstall_key
  for file in brisora.exe brisora-gateway.exe LICENSE.txt THIRD-PARTY-NOTICES.txt uninstall.exe; do
    [[ -f "$1/$file" ]] || fail "$file is not in $1"
  done
  [[ -f "$2/Brisora.lnk" ]] || fail "no Brisora.lnk in $2"
  local folder
  folder=$(winepath -w "$1")
  [[ "$(reg_value "$key" DisplayName)" == Brisora ]] || fail "no DisplayName under $key"
  [[ "$(reg_value "$key" InstallLocation)" == "$folder" ]] ||
    fail "InstallLocation is $(reg_value "$key" InstallLocation), not $folder"
  [[ "$(reg_value "$key" QuietUninstallString)" == "\"$folder\\uninstall.exe\" /$4 /S" ]] ||
    fail "QuietUninstallString is $(reg_value "$key" QuietUninstallString)"
  local name
  for name in DisplayVersion Publisher DisplayIcon UninstallString; do
    [[ -n "$(reg_value "$key" $name)" ]] || fail "no $name under $key"
  done
  [[ "$(reg_value "$key" EstimatedSize)" =~ ^0x[0-9a-f]+$ ]] || fail "no EstimatedSize under $key"
  [[ "$(reg_value "$key" NoModify)" == 0x1 && "$(reg_value "$key" NoRepair)" == 0x1 ]] ||
    fail "NoModify, NoRepair not set under $key"
}

# uninstall FOLDER MODE: the uninstaller as the quiet uninstall string runs it. It runs on
# from a copy of itself in the temporary folder; it is done when the folder is gone.
uninstall() {
  local installed=$1
  wine "$installed/uninstall.exe" "/$2" /S >>"$work/wine.log" 2>&1
  poll 60 'test ! -e "$installed"' || fail "the uninstaller left $installed: $(ls "$installed")"
}

# start_widget: brisora.exe as the Start menu's shortcut starts it (in the folder the
# shortcut names), until its window shows.
start_widget() {
  # Wine hands this side's environment to the programs it starts.
  wine_run start /unix "$start_menu/Brisora.lnk"
  poll 60 'test -n "$(window_named Brisora)"' || fail "the widget's window never showed"
  running brisora.exe || fail "no brisora.exe runs, yet its window shows"
}

# A settings file the widget rewrites on Exit: older than anything it writes.
settings_rewritten() {
  [[ "$settings" -nt "$work/mark" ]] && grep -q "^$woeid"$'\r'"\$" "$settings"
}

# With nothing on its port, the widget starts the installed gateway itself: with no window,
# logging to the user's local application data, answering on the widget's port; once the
# widget has gone, the gateway ends by itself when idle (BRISORA_GATEWAY_IDLE_SECONDS
# shortens its quarter of an hour).
check_gateway_started_on_demand() {
  running brisora-gateway.exe && fail "a gateway runs already"
  port_open && fail "something already listens on 127.0.0.1:$port"
  BRISORA_GATEWAY_IDLE_SECONDS=10 start_widget
  poll 60 'running brisora-gateway.exe' || fail "the widget started no gateway"
  poll 30 port_open || fail "the gateway the widget started never listened on 127.0.0.1:$port"
  http_get "/forecastrss?w=$woeid&u=f" | grep -q '^HTTP/1.1 ' ||
    fail "the gateway the widget started did not answer"
  [[ -s "$local_app_data/Brisora/gateway/brisora-gateway.log" ]] ||
    fail "the gateway the widget started keeps no log in $local_app_data/Brisora/gateway"
  [[ -z "$(xdotool search --onlyvisible --name 'brisora-gateway' 2>/dev/null)" ]] ||
    fail "the gateway the widget started opened a window"
  wine taskkill /IM brisora.exe >>"$work/wine.log" 2>&1
  poll 20 '! running brisora.exe' || fail "a close request did not end the widget"
  poll 90 '! running brisora-gateway.exe' ||
    fail "the gateway the widget started did not end by itself once idle"
}

local_app_data=$(windows_folder LOCALAPPDATA)
app_data=$(windows_folder APPDATA)
folder=$local_app_data/Programs/Brisora
start_menu="$app_data/Microsoft/Windows/Start Menu/Programs"
settings=$app_data/Brisora/brisora.conf

# For the current user.
wine "$setup" /S >>"$work/wine.log" 2>&1 || fail "the silent install failed"
check_installed "$folder" "$start_menu" HKCU CurrentUser
key_exists "HKLM\\$uninstall_key" && fail "a per-user install wrote HKLM\\$uninstall_key"

port_open && fail "something already listens on 127.0.0.1:$port"
wine_run "$folder/brisora-gateway.exe" --demo --listen "127.0.0.1:$port"
poll 30 port_open || fail "the installed gateway never listened"
demo_place Chicago
mkdir -p "$(dirname "$settings")"
demo_settings 1500 >"$settings"
touch -d '2001-01-01' "$work/mark" "$settings"

start_widget
check_tray_tip "Chicago, Illinois (demo) : $temperature °F"
# "Start on Windows" names the installed program; Exit from the tray's menu ends the widget,
# which writes its settings.
toggle_start_on_windows "$(window_named Brisora)"
run_value="$(winepath -w "$folder")\\brisora.exe"
[[ "$run_value" == *" "* ]] && run_value="\"$run_value\"" # quoted only where a blank needs it
poll 10 'test -n "$(reg_value "$run_key" Brisora)"' ||
  fail "Okay with \"Start on Windows\" wrote no Run value"
[[ "$(reg_value "$run_key" Brisora)" == "$run_value" ]] ||
  fail "the Run value is $(reg_value "$run_key" Brisora), not $run_value"
touch -d '2001-01-01' "$settings" # Okay wrote them already
exit_from_tray_menu
poll 20 '! running brisora.exe' || fail "Exit from the tray's menu did not end the widget"
settings_rewritten || fail "the widget did not write its settings on Exit"

# An upgrade over the running widget with "Start on Windows" on.
start_widget
touch -d '2001-01-01' "$settings"
wine "$setup" /S >>"$work/wine.log" 2>&1 || fail "the silent upgrade failed"
running brisora.exe && fail "the upgrade left the widget running"
running brisora-gateway.exe && fail "the upgrade left the gateway running"
settings_rewritten || fail "the upgrade lost the settings, or the widget did not write them"
[[ "$(reg_value "$run_key" Brisora)" == "$run_value" ]] ||
  fail "the upgrade changed the Run value to $(reg_value "$run_key" Brisora)"
check_installed "$folder" "$start_menu" HKCU CurrentUser

check_gateway_started_on_demand

# Uninstalled while the widget runs, with the gateway it started: only the settings stay.
start_widget
poll 60 'running brisora-gateway.exe' || fail "the widget started no gateway"
touch -d '2001-01-01' "$settings"
uninstall "$folder" CurrentUser
running brisora.exe && fail "the uninstaller left the widget running"
running brisora-gateway.exe && fail "the uninstaller left the gateway running"
settings_rewritten || fail "the silent uninstall removed the settings"
[[ ! -e "$start_menu/Brisora.lnk" ]] || fail "the uninstaller left the shortcut"
[[ -z "$(reg_value "$run_key" Brisora)" ]] || fail "the uninstaller left the Run value"
key_exists "HKCU\\$uninstall_key" && fail "the uninstaller left HKCU\\$uninstall_key"

# For all users: asked for on the command line (Wine's user is an administrator anyway).
folder=$(windows_folder ProgramFiles)/Brisora
common_start_menu="$(windows_folder ProgramData)/Microsoft/Windows/Start Menu/Programs"
wine "$setup" /S /AllUsers >>"$work/wine.log" 2>&1 || fail "the silent install for all users failed"
check_installed "$folder" "$common_start_menu" HKLM AllUsers
key_exists "HKCU\\$uninstall_key" && fail "an install for all users wrote HKCU\\$uninstall_key"
uninstall "$folder" AllUsers
[[ ! -e "$common_start_menu/Brisora.lnk" ]] || fail "the uninstaller left the common shortcut"
key_exists "HKLM\\$uninstall_key" && fail "the uninstaller left HKLM\\$uninstall_key"
[[ -f "$settings" ]] || fail "the silent uninstall for all users removed the user's settings"
echo "installed, run, upgraded and uninstalled, for the current user and for all users"
