#!/usr/bin/env bash
# Sets up, builds and starts Morvek in run/, a working folder that holds the card layout tmp.mvk.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
mkdir -p "$root/run"
[ -f "$root/run/tmp.mvk" ] || cp "$root/res/tmp.mvk" "$root/run/tmp.mvk" 2>/dev/null || true
cd "$root/run"
exec "$root/build/src/morvek" "$@"
