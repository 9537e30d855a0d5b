#!/bin/sh
# Installs the Debian packages that are missing: those named as arguments, or with none those the build and
# the Linux tests need. The other scripts call it with their own lists (the Windows side, the bench).
set -e
if [ $# -gt 0 ]; then
  pacchetti="$*"
else
  pacchetti="cmake g++ make qt6-base-dev libgtest-dev libgmock-dev libxml2-utils libxml2-dev clang libclang-rt-14-dev clang-format-14 xvfb xauth chromium poppler-utils"
fi
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
