#!/usr/bin/env bash
# Installs the Debian packages Morvek needs, and any named as arguments; packages already
# present are skipped.
set -euo pipefail

packages=(
  cmake g++ make
  libasan8 libubsan1   # the sanitizer build's runtimes (scripts/sanitize.sh)
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql libgl-dev
  qt6-svg-dev qt6-translations-l10n
  libbenchmark-dev
  libcsv-dev
  libxlsxwriter-dev libminizip-dev   # Excel workbooks: written, and unpacked to be read
  libsqlite3-dev
  libmecab-dev mecab-ipadic-utf8   # readings of names: MeCab and its dictionary
  fonts-ipafont-gothic
  poppler-utils
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
