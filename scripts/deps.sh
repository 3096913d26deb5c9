#!/usr/bin/env bash
# Installs the Debian packages Wakeline needs to build, run and test, when they are missing.
# As root it runs apt-get; otherwise it prints the exact apt-get line and stops.
# It also generates the comma-decimal locale the tests run under (de_DE.UTF-8): as root it
# runs localedef; otherwise it prints the command and goes on (those tests say they skip).
set -euo pipefail

packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-qpa-plugins libsdl2-dev
          libgtest-dev libgmock-dev libbenchmark-dev locales
          qt6-multimedia-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good
          gstreamer1.0-libav
          # Tracking: OpenCV's image work (the program links core, imgproc and video only;
          # the CMake package file comes with libopencv-dev), and GStreamer's own headers for
          # decoding frames as fast as they come.
          libopencv-dev libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
          # The sample pass video's check decodes it with gst-launch-1.0; the test passes
          # of the tracking benchmark are also encoded as H.264 with x264enc, and so is
          # every live pass the program records (x264enc is then needed at run time).
          gstreamer1.0-tools gstreamer1.0-plugins-ugly
          # scripts/check_format.sh: the formatting the repository keeps.
          clang-format-14)
if [ "${WAKELINE_EXTRA_PACKAGES:-}" != "" ]; then
    read -r -a extra <<<"$WAKELINE_EXTRA_PACKAGES"
    packages+=("${extra[@]}")
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    line="apt-get install -y ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "Wakeline needs these Debian packages. Install them as root, then run this again:" >&2
        echo "  sudo apt-get update && sudo $line" >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Numbers must not follow the system's locale; the tests prove it under this one.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
    generate="localedef -i de_DE -f UTF-8 de_DE.UTF-8"
    if [ "$(id -u)" -ne 0 ]; then
        echo "The locale tests need de_DE.UTF-8; generate it as root with:" >&2
        echo "  sudo $generate" >&2
    else
        echo "Generating the de_DE.UTF-8 locale"
        $generate
    fi
fi
