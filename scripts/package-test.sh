#!/usr/bin/env bash
# Builds the Debian package, lists its contents and validates its desktop entry and
# AppStream metadata. Not part of the quick test run (scripts/test.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"

# What packaging and validating need beyond the build.
tools=(dpkg-dev desktop-file-utils appstream)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

bash "$root/scripts/build.sh"
cmake --build "$root/build" --target deb
deb="$(ls -t "$root"/build/morvek_*.deb | head -n1)"
echo "== $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends Recommends
echo "== contents"
dpkg-deb --contents "$deb"

unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb --extract "$deb" "$unpacked"
id=com.kelbrotanesoft.Morvek
for f in usr/bin/morvek usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/$id.svg usr/share/morvek/tmp.mvk; do
  [ -f "$unpacked/$f" ] || { echo "missing from the package: $f" >&2; exit 1; }
done
desktop-file-validate "$unpacked/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$unpacked/usr/share/metainfo/$id.metainfo.xml"
echo "package ok: $deb"
