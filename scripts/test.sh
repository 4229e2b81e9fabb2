#!/usr/bin/env bash
# Sets up, builds and runs every test headless; the tests that also run on PostgreSQL
# get a throw-away server of their own (installed when missing), stopped afterwards.
# MORVEK_TEST_PGURI already set: that server is used instead. LibreOffice is installed
# when missing, for the test that opens an exported workbook in it (tst_xlsx).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
if ! command -v soffice >/dev/null; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: libreoffice-calc-nogui"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends libreoffice-calc-nogui
fi
bash "$root/scripts/build.sh"
if [ -z "${MORVEK_TEST_PGURI:-}" ]; then
  eval "$(bash "$root/scripts/pgserver.sh" start)"
  trap 'bash "$root/scripts/pgserver.sh" stop "$MORVEK_PGDATA"' EXIT
fi
export MORVEK_TEST_PGURI
cd "$root/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
