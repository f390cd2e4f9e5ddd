#!/usr/bin/env bash
# The widget's own start of its gateway under Wine, from a folder of its own: nothing
# listens on its port, so brisora.exe starts brisora-gateway.exe, which ends once idle.
#   gateway-on-demand-test.sh BRISORA_EXE GATEWAY_EXE WORK_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-prefix.sh
source "$here/wine-prefix.sh" "$3"
# shellcheck source=gateway-on-demand.sh
source "$here/gateway-on-demand.sh"

folder="$WINEPREFIX/drive_c/Brisora Test"
mkdir -p "$folder"
cp "$1" "$2" "$folder/"
printf '0\r\n0\r\n1\r\n1500\r\n1500\r\n%s\r\n1\r\nLondon\r\n' 44418 >"$folder/brisora.conf"
check_gateway_started_on_demand "$folder"
