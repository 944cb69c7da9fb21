#!/usr/bin/env bash
# Installs what is missing, builds Velmora and starts it. Arguments are
# passed to the program.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build

if [ -x build/src/gui/velmora ]; then
  exec build/src/gui/velmora "$@"
fi
# Until the desktop window exists, the command line program stands in.
if [ $# -eq 0 ]; then
  set -- --help
fi
exec build/src/cli/velmora-cli "$@"
