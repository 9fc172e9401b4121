#!/usr/bin/env bash
# The whole program (window shown) and FrameSender alone beside GStreamer, at
# 1080p -> 720p and 2160p -> 1080p: builds what it needs (default preset),
# then runs on a virtual X display in a private PipeWire session and prints
# CPU per frame, the ratios to GStreamer and resident memory.
# Usage: bench/window_cost.sh [BUILD_DIR]   (default build/default, built here)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
if [[ $# -eq 0 ]]; then
  cmake --preset default >/dev/null
  cmake --build --preset default -j2 --target window_cost_bench >/dev/null
fi
dir=$(mktemp -d "${TMPDIR:-/tmp}/orvenna-bench.XXXXXX")
display_server=""
cleanup() {
  [[ -z $display_server ]] || { kill "$display_server"; wait "$display_server"; } 2>/dev/null || true
  scripts/pipewire-session stop "$dir"
}
trap cleanup EXIT
eval "$(scripts/pipewire-session start "$dir")"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$dir/display" 2>/dev/null &
display_server=$!
for _ in $(seq 100); do
  [[ -s $dir/display ]] && break
  sleep 0.1
done
# The sender finds the camera library beside the program.
DISPLAY=:$(<"$dir/display") LD_LIBRARY_PATH=$build/bin "$build/bench/window_cost_bench" "$display_server"
