#!/usr/bin/env bash
# Sets up, builds, and starts the editor in the build's Program folder.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/build.sh"
exec "$top/build/bin/karvel"
