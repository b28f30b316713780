#!/usr/bin/env bash
# Installs every Debian 12 package that building, testing and running Lumora Music needs.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

PACKAGES=(
  # toolchain
  build-essential cmake pkg-config git
  # decoding, playback, window, interface
  libavformat-dev libavcodec-dev libswresample-dev libavutil-dev
  libsdl2-dev libglfw3-dev libgl-dev libimgui-dev libstb-dev
  libfontconfig-dev fonts-dejavu-core fonts-noto-core
  # devices, chords, lyrics, media keys
  libimobiledevice-dev libplist-dev libfftw3-dev libssl-dev
  libcurl4-openssl-dev libsystemd-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # programs the tool and player start
  ffmpeg procps curl python3
  # headless player runs
  xvfb xauth libgl1-mesa-dri dbus
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "setup: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
