#!/usr/bin/env bash
# Sets up, builds and runs every test headless; the tests that also run on PostgreSQL
# get a throw-away server of their own (installed when missing), stopped afterwards.
# MORVEK_TEST_PGURI already set: that server is used instead.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
if [ -z "${MORVEK_TEST_PGURI:-}" ]; then
  eval "$(bash "$root/scripts/pgserver.sh" start)"
  trap 'bash "$root/scripts/pgserver.sh" stop "$MORVEK_PGDATA"' EXIT
fi
export MORVEK_TEST_PGURI
cd "$root/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
