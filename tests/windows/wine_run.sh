#!/bin/sh
# wine_run.sh STATE_DIR PROGRAM [ARGUMENT...]: runs a Windows program under Wine
# in the build's prefix (STATE_DIR/prefix) on the X display the fixture started,
# finding the mingw runtime and the Qt DLLs after whatever WINEPATH it is given.
state=$1
shift
export WINEPREFIX="$state/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
DISPLAY=
[ -s "$state/display" ] && DISPLAY=":$(cat "$state/display")"
export DISPLAY
WINEPATH="${WINEPATH:+$WINEPATH;}$(cat "$state/dll-path")"
export WINEPATH
exec wine "$@"
