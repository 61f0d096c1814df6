#!/bin/sh
# Installs the Debian packages Clavora needs to build, run and test.
# Does nothing when they are all present; uses sudo when not run as root.
set -e

PACKAGES="cmake g++ make pkg-config lld
qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6
libfluidsynth-dev fluid-soundfont-gm librtmidi-dev libjack-jackd2-dev jackd2 libasound2-dev libxcb-xkb-dev
pulseaudio pulseaudio-utils libpulse-dev
libx11-dev libxtst-dev
libxcb1-dev libxcb-xtest0-dev
libgtest-dev libgmock-dev
xvfb xauth xdotool imagemagick
appstream desktop-file-utils shared-mime-info
locales-all lintian dpkg-dev
clang-format git"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
