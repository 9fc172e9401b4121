#!/bin/sh
# wine_prefix.sh setup|cleanup: creates the throw-away Wine prefix that the
# tests of one ctest run share ($WINEPREFIX), or stops its server and removes it.
set -eu
: "${WINEPREFIX:?}"
case "$1" in
setup)
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
  wineboot -i
  # Without X, windows need Wine's null display driver.
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
  wineserver -w
  # One persistent server, with the prefix's services started once, spares
  # each test the start-up; neither may hold ctest's output pipes open.
  wineserver -p </dev/null >/dev/null 2>&1
  wine wineboot </dev/null >/dev/null 2>&1
  ;;
cleanup)
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
  ;;
*) echo "usage: $0 setup|cleanup" >&2; exit 2 ;;
esac
