#!/bin/sh
# Installs the Debian packages the build needs, when any is missing. Needs root (or sudo)
# only when something has to be installed.
set -e
PKGS="cmake ninja-build pkg-config g++ ccache libgtest-dev libgmock-dev libbenchmark-dev \
libpugixml-dev libicu-dev libsqlite3-dev libmimalloc-dev qt6-base-dev fonts-liberation2 postgresql \
libpq-dev libhunspell-dev hunspell-en-us poppler-utils libgdal-dev gdal-bin libgeos-dev libproj-dev \
postgresql-15-postgis-3 $ZELK_EXTRA_PKGS"
missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
