#!/usr/bin/env bash
# Builds the Debian package of Wakeline into ./build (wakeline_VERSION_ARCH.deb).
# Install it with: sudo apt-get install ./build/wakeline_*.deb
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
WAKELINE_EXTRA_PACKAGES="dpkg-dev file" "$here/deps.sh"
"$here/build.sh" wakeline wakeline-cli
cd "$here/../${WAKELINE_BUILD_DIR:-build}"
cpack -G DEB
