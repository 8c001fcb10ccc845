#!/usr/bin/env bash
# Builds the program, the player service and the e2e helpers, then measures the program on a
# private Xvfb display: F9 to the play page request, start to window, idle CPU, memory.
# Usage: bench/app/measure.sh [--screenshot docs/screenshot.png]
# Needs port 17380 on 127.0.0.1 (the key endpoint the program is built with).
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target miravue miravue-player-service e2e_drag_source e2e_close_window \
  e2e_image_clipboard
port=$(sed -n 's|^MIRAVUE_KEY_ENDPOINT:STRING=http://127\.0\.0\.1:\([0-9]*\)/key$|\1|p' \
  build/CMakeCache.txt)
if [ -z "$port" ]; then
  echo "measure: MIRAVUE_KEY_ENDPOINT is not a loopback /key URL; nothing to measure against" >&2
  exit 1
fi
exec python3 bench/app/measure.py \
  --program build/app/miravue \
  --service build/tools/player_service/miravue-player-service \
  --drag-source build/tests/e2e/e2e_drag_source \
  --close-window build/tests/e2e/e2e_close_window \
  --image-clipboard build/tests/e2e/e2e_image_clipboard \
  --port "$port" "$@"
