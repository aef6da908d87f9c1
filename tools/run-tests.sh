#!/usr/bin/env bash
# Sets up, builds, and runs every test headless.
# Extra arguments go to CMake's configure step.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/build.sh" "$@"
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
cd "$top/build"
ctest --output-on-failure -j"$(nproc)"
