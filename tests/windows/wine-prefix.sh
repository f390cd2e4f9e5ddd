# Sourced by the Windows tests that run under Wine: a display of the test's own and a Wine
# prefix of its own whose wineserver knows that display from its first call. Defines
# `fail`, `poll`, `wine_run`, `window_named` and `shot`; children in `children` end with it.
#   source wine-prefix.sh <work folder>
set -euo pipefail

work=$1
# A run's own: nothing of an earlier run's display or prefix may be mistaken for this one's.
rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX=$work/prefix
export WINEDEBUG=-all
# No Mono, no Gecko; and no menu builder, which would copy each Start menu shortcut an
# installer makes into the desktop menus of this machine's user.
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
export WINEQT_FORCE_STDERR_LOGGING=1
children=()

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# poll SECONDS 'CODE': true once CODE (evaluated anew each time) succeeds, false when the
# time is up.
poll() {
  local deadline=$((SECONDS + $1))
  until eval "$2"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.2
  done
}

cleanup() {
  WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true
  for pid in "${children[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
}
trap cleanup EXIT

# wine_run PROGRAM ARGUMENTS...: starts a Windows program in the background; its process id
# (Wine's loader on this side) goes into $last_child.
wine_run() {
  wine "$@" >>"$work/wine.log" 2>&1 &
  last_child=$!
  children+=("$last_child")
}

# window_named TITLE: the id of the visible window with that exact title, if any.
window_named() {
  xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1
}

# shot NAME [WINDOW]: a screenshot of the screen (or of one window) as $work/NAME.png.
shot() {
  if [[ -n "${2:-}" ]]; then
    import -window "$2" "$work/$1.png"
  else
    import -window root "$work/$1.png"
  fi
}

# -noreset: a server that resets when its last client leaves refuses whoever connects meanwhile.
Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1024x768x24 3>"$work/display" 2>/dev/null &
children+=($!)
poll 10 'test -s "$work/display"' || fail "Xvfb did not start"
export DISPLAY=:$(cat "$work/display")

mkdir -p "$WINEPREFIX"
wineserver -p
wineboot --init >>"$work/wine.log" 2>&1

