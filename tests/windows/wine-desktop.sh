# Sourced by the Windows desktop tests: wine-prefix.sh, plus a window manager (openbox) and
# a notification area (trayer) on its display.
#   source wine-desktop.sh <work folder>
# shellcheck source=wine-prefix.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" "$1"

openbox >/dev/null 2>&1 &
children+=($!)
poll 30 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window' ||
  fail "openbox did not start"
# Now and then trayer, started just after openbox, never maps its panel: it starts again then.
for attempt in 1 2 3; do
  trayer --edge bottom --width 10 >/dev/null 2>&1 &
  children+=($!)
  poll 10 'xdotool search --onlyvisible --class "^trayer$" >/dev/null' && break
  ((attempt < 3)) || fail "trayer did not start"
  kill "${children[-1]}"
  wait "${children[-1]}" 2>/dev/null || true
done
