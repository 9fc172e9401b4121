#!/usr/bin/env bash
# Runs the camera library benchmark in a private PipeWire session.
# Usage: bench/softcam_compare.sh [BUILD_DIR]   (default build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
dir=$(mktemp -d "${TMPDIR:-/tmp}/orvenna-bench.XXXXXX")
trap 'scripts/pipewire-session stop "$dir"' EXIT
eval "$(scripts/pipewire-session start "$dir")"
"$build/bench/softcam_send_bench"
