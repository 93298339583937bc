#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, skipping
# those already installed. Runs apt-get as root, or through sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools
  libxcb1-dev libxcb-ewmh-dev libxcb-icccm4-dev libxcb-randr0-dev libxcb-keysyms1-dev libxcb-xtest0-dev
  xvfb xauth openbox trayer x11-utils xdotool wmctrl imagemagick
  desktop-file-utils libglib2.0-bin
  dbus dbus-daemon dbus-bin at-spi2-core python3-gi gir1.2-atspi-2.0 gir1.2-gtk-3.0
  kwin-wayland kwin-style-breeze xwayland
  appstream lintian man-db file librsvg2-bin
  clang libclang-rt-14-dev libgnustep-gui-dev libobjc-12-dev
  xfwm4 kwin-x11 breeze metacity mutter fluxbox icewm xterm dbus-x11
  sway i3-wm foot x11-xserver-utils
  gnome-shell gnome-shell-extension-appindicator
  fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
echo "install-deps: installing ${missing[*]}"
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
