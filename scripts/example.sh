#!/usr/bin/env bash
# Builds the suite and exports the bundled example scene, then shows what the file holds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
tz2=build/stage/bin/tz2
if [ -x "$tz2" ] && [ -f examples/crate.scene.json ]; then
  mkdir -p out
  "$tz2" export examples/crate.scene.json -o out/crate.tz2 --yes --no-preview
  "$tz2" info out/crate.tz2
else
  echo "Staged in build/stage:"
  (cd build/stage && find . -type f | sort)
fi
