#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need.
# Safe to run again: only missing packages are installed.
set -euo pipefail

PACKAGES=(
  # build
  cmake ninja-build g++ pkg-config python3
  qt6-base-dev qt6-base-dev-tools qt6-declarative-dev qt6-declarative-dev-tools qt6-svg-dev
  libhidapi-dev libudev-dev libx11-dev libxi-dev libglib2.0-dev
  # QML modules the scene and its tests import
  qml6-module-qtquick qml6-module-qttest qml6-module-qtqml qml6-module-qtqml-workerscript
  qml6-module-qtquick-window qml6-module-qtqml-models qml6-module-qtquick-shapes
  # running under a virtual display, driving it, looking at it
  libgl1-mesa-dri xvfb xauth xdotool x11-utils imagemagick librsvg2-bin fonts-wqy-microhei
  libglib2.0-bin gsettings-desktop-schemas
  # Wayland sessions, the tray and notification services on the session bus
  qt6-wayland sway grim wtype dbus dbus-daemon python3-dbus python3-gi
  # the command-line client's manual page and completion
  help2man bash-completion
  # faster rebuilds when present
  ccache
  # the Windows layer: MinGW-w64 and Wine
  g++-mingw-w64-x86-64-posix wine64 wine
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
