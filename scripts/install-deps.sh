#!/usr/bin/env bash
# Installs what building and testing Showvale and Vistelle need on Debian 12, only what is missing.
set -euo pipefail

packages=(
    # compilers and build tools; clang and its runtime for the libFuzzer target
    build-essential cmake ninja-build ccache git clang libclang-rt-14-dev clang-format
    # the include check of the test command
    python3
    # Qt 6: widgets, multimedia, image plugins (TIFF, WebP) and the offscreen/xcb platforms
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-image-formats-plugins qt6-qpa-plugins
    libqt6multimedia6
    # HEIC/HEIF and AVIF pictures (Qt has no reader for them); its HEVC and AV1 codecs come along
    libheif-dev libheif1
    # GStreamer, Qt Multimedia's backend here: wav/mp3/avi, mpeg and MIDI, wma/wmv
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
    gstreamer1.0-plugins-ugly gstreamer1.0-libav
    # video export: GStreamer's headers (app and video libraries) to build against; the show's
    # gapless music drives GStreamer's playbin directly; the player decodes JPEG (libjpeg-turbo)
    # and PNG (ISA-L's inflate) itself, scaled to the screen while decoding
    pkg-config libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev libjpeg62-turbo-dev libisal-dev
    # libpng: the reference the PNG decoder is held to by the conformance test and the fuzzer
    libpng-dev
    # colour management: embedded ICC profiles converted to sRGB or the screen's profile
    liblcms2-dev
    # the screen's colour profile, read from the X root window through Qt's XCB connection
    libxcb1-dev
    # tests and benchmarks
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    # the music benchmark's MP3 files, with the encoder's gapless information as LAME writes it
    lame
    # end-to-end tests: a private X server, a window manager, screenshots, input, test pictures
    # and recorded sound
    xvfb xauth x11-utils x11-apps openbox xdotool imagemagick pulseaudio pulseaudio-utils sox
    # progressive JPEGs in every sampling, with restart markers and scan orders of our choosing
    libjpeg-turbo-progs
    # exported videos read back by other programs: ffprobe/ffmpeg, and GStreamer's own player
    ffmpeg gstreamer1.0-tools
    fonts-dejavu-core
    # checking what is installed: menu entries, AppStream metadata, file types, manuals, lintian
    desktop-file-utils appstream shared-mime-info man-db lintian dpkg-dev
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    if [[ "$status" != "install ok installed" ]]; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} == 0)); then
    echo "install-deps: all ${#packages[@]} packages present"
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo=()
if ((EUID != 0)); then
    sudo=(sudo)
fi
apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300)
"${apt[@]}" update
"${apt[@]}" install -y --no-install-recommends "${missing[@]}"
