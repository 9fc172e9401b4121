#!/bin/sh
# wine_prefix.sh setup STATE_DIR SETUP_PROGRAM REGSVR32 | cleanup STATE_DIR
# setup: starts a virtual X display (its number in STATE_DIR/display), makes the
# throw-away Wine prefix the tests of one ctest run share (STATE_DIR/prefix),
# runs SETUP_PROGRAM in it and puts REGSVR32 in its system directory in place
# of Wine's. cleanup: stops the prefix's server and the display, removes both.
set -eu
state=$2
run="$(dirname "$0")/wine_run.sh $state"
export WINEPREFIX="$state/prefix"

stop() {
  [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
  [ -s "$state/xvfb.pid" ] && kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
  rm -rf "$WINEPREFIX" "$state/display" "$state/xvfb.pid" "$state/display.fifo"
}

case "$1" in
setup)
  stop
  # Xvfb writes the display number it found free once it accepts clients.
  mkfifo "$state/display.fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$state/display.fifo" </dev/null >/dev/null 2>&1 &
  echo $! >"$state/xvfb.pid"
  read -r number <"$state/display.fifo"
  rm "$state/display.fifo"
  [ -n "$number" ] || { echo "Xvfb did not start" >&2; exit 1; }
  echo "$number" >"$state/display"

  $run wineboot -i
  # With no window manager on the display, Wine would wait 2 s for one at
  # every window or tray icon that hides.
  $run reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
  # A program that crashes ends at once: Wine's debugger would open its
  # dialog on the display and hold the test until its time runs out.
  $run reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f >/dev/null
  wineserver -w
  # The font Windows draws its dialogs with: without it, Wine falls back to
  # whatever font comes first, whose metrics put line edits' text out of sight.
  cp /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  # One persistent server, with the prefix's services started once, spares
  # each test the start-up; neither may hold ctest's output pipes open.
  wineserver -p </dev/null >/dev/null 2>&1
  $run wineboot </dev/null >/dev/null 2>&1
  $run "$3"
  # Wine prefers its own build of a system program to the file in its place.
  cp "$4" "$WINEPREFIX/drive_c/windows/system32/regsvr32.exe"
  $run reg add 'HKCU\Software\Wine\DllOverrides' /v regsvr32.exe /d native /f >/dev/null
  ;;
cleanup) stop ;;
*) echo "usage: $0 setup|cleanup STATE_DIR ..." >&2; exit 2 ;;
esac
