#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the program and its tests need.
set -euo pipefail

packages=(
  cmake g++ make pkg-config clang-tidy
  qt6-base-dev qt6-base-dev-tools libgl-dev
  qt6-qpa-plugins libqt6svg6 qt6-svg-dev fonts-dejavu-core qt6-translations-l10n
  libespeak-ng-dev espeak-ng-data libverbiste-dev libhunspell-dev hunspell-fr-comprehensive grammalecte-cli
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-plugins-ugly gstreamer1.0-libav gstreamer1.0-pulseaudio timgm6mb-soundfont
  libfluidsynth-dev libpulse-dev libmpv-dev zlib1g-dev libzip-dev
  ffmpeg
  pulseaudio pulseaudio-utils stress-ng sox
  xvfb xauth xdotool x11-utils imagemagick libxtst-dev
  dpkg-dev file lintian desktop-file-utils appstream
  dbus at-spi2-core python3-pyatspi verbiste gdb poppler-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
