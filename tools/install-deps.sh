#!/bin/sh
# Installs the Debian packages that building, running and testing Tollvane
# need. Idempotent; run as root on Debian 12.
set -eu
packages="cmake g++ make pkg-config qt6-base-dev libqt6svg6 libfbclient2 firebird-dev
  firebird3.0-server-core firebird3.0-utils firebird3.0-server libzip-dev libpugixml-dev
  fonts-dejavu-core python3-openpyxl xvfb xauth xdg-utils x11-utils xdotool iproute2"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
fi
