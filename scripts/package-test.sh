#!/usr/bin/env bash
# Builds the Debian package, lists its contents, checks it with lintian (any error or
# warning fails) and validates its desktop entry and AppStream metadata. .ci/run runs it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"

# What packaging and validating need beyond the build.
tools=(dpkg-dev desktop-file-utils appstream lintian man-db)
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
id=com.kelbrotanesoft.morvek
for f in usr/bin/morvek usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/$id.svg usr/share/morvek/tmp.mvk \
         usr/share/man/man1/morvek.1.gz usr/share/man/ja/man1/morvek.1.gz \
         usr/share/doc/morvek/copyright usr/share/doc/morvek/changelog.gz; do
  [ -f "$unpacked/$f" ] || { echo "missing from the package: $f" >&2; exit 1; }
done
desktop-file-validate "$unpacked/usr/share/applications/$id.desktop"
appstreamcli validate --no-net --pedantic "$unpacked/usr/share/metainfo/$id.metainfo.xml"
# The program answers --help without a display, as a packaged command must.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$unpacked/usr/bin/morvek" --help >/dev/null

echo "== lintian"
report="$(lintian --pedantic --display-info --allow-root "$deb" 2>&1 || true)"
printf '%s\n' "$report"
if printf '%s\n' "$report" | grep -qE '^[EW]: '; then
  echo "lintian reports errors or warnings" >&2
  exit 1
fi
echo "package ok: $deb"
