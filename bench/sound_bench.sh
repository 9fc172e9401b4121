#!/usr/bin/env bash
# Runs the sound benchmark in a private PipeWire session: the CPU the
# microphone adds, and its drift from the picture over MINUTES (default 10) of
# one stream. Usage: bench/sound_bench.sh [BUILD_DIR] [MINUTES]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
cmake --build "$build" --target sound_bench orvenna_bench_sound_media
dir=$(mktemp -d "${TMPDIR:-/tmp}/orvenna-bench.XXXXXX")
trap 'scripts/pipewire-session stop "$dir"' EXIT
eval "$(scripts/pipewire-session start "$dir")"
# The sender finds the camera library beside the program.
LD_LIBRARY_PATH=$build/bin "$build/bench/sound_bench" "$build/test-media/sound_cost.mp4" \
  "$build/test-media/tone_steps_long.mkv" "${2:-10}"
