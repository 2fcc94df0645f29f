#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Quillora need.
# Only missing packages are installed; apt-get update runs first when anything is missing.
# Works unattended as root or through sudo.
#
#   scripts/install-deps.sh          build, test and run dependencies
#   scripts/install-deps.sh fuzz     adds the clang toolchain for libFuzzer builds
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins qt6-image-formats-plugins
  libzip-dev libcurl4-openssl-dev zlib1g-dev libdeflate-dev libicu-dev libjpeg-dev
  libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev libssl-dev
  nlohmann-json3-dev libxcb1-dev python3-aiosmtpd
  fonts-wqy-microhei
  xvfb xauth xdotool x11-xserver-utils imagemagick poppler-utils openbox
  epubcheck libreoffice-writer-nogui
  dbus at-spi2-core python3-pyatspi qt6-translations-l10n qt6-l10n-tools qt6-tools-dev
  desktop-file-utils xdg-utils shared-mime-info libfile-mimeinfo-perl libqt6svg6
  appstream man-db groff-base dpkg-dev fakeroot lintian file strace
)
if [ "${1:-}" = "fuzz" ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo -n)
else
  echo "install-deps: need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
