#!/bin/sh
# Installs the Debian packages the build and the tests need, when some are missing.
set -e
pacchetti="cmake g++ make qt6-base-dev libgtest-dev libgmock-dev libxml2-utils libxml2-dev clang libclang-rt-14-dev clang-format-14 xvfb xauth chromium poppler-utils"
mancanti=""
for p in $pacchetti; do
  dpkg -s "$p" >/dev/null 2>&1 || mancanti="$mancanti $p"
done
[ -z "$mancanti" ] && exit 0
echo "Installo:$mancanti"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $mancanti >/dev/null
