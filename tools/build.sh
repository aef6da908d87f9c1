#!/usr/bin/env bash
# Configures and builds into build/; the Program folder is build/bin.
# Extra arguments go to CMake's configure step (say -DORVISTA_WERROR=ON).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/install-deps.sh"
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$top/build" -j"$(nproc)"
