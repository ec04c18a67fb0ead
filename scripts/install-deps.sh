#!/usr/bin/env bash
# Installs the Debian packages TESTRIG needs to build, run and test; does nothing when all are present.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config ccache
    juce-modules-source ladspa-sdk libjack-jackd2-dev
    libflac-dev libvorbis-dev libogg-dev libpng-dev libjpeg-dev zlib1g-dev
    libgtest-dev libgmock-dev libbenchmark-dev libfftw3-dev libsndfile1-dev
    # the window's typefaces come from npm as WOFF and are converted to TrueType
    woff-tools
    # the reveal video (H.264 in MPEG-4); the command-line tools check it and time it
    libavformat-dev libavcodec-dev libswscale-dev libavutil-dev ffmpeg
    # the window hands the clipboard image and exported files to the desktop's own programs
    xclip xdg-utils
    # tests: a display for window tests, an audio server on a dummy backend for the audition
    # (jackd, jack_wait, jack_bufsize), and real third-party plugins to measure
    xvfb xauth x11-utils xdotool tzdata jackd2
    zam-plugins x42-plugins
    # an outside reference for loudness
    libebur128-dev
)

# npm may come with a Node.js installed outside Debian's packages; only fetch Debian's when there is none.
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -q
    "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
