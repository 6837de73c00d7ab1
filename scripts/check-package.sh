#!/usr/bin/env bash
# Checks what users install: `cmake --install` into a temporary prefix must hold the expected files
# and pass the desktop-entry and AppStream validators, the installed demo must pass
# `showvale --check`, and the Debian package must list the same files, install on this Debian
# (simulated) and leave lintian without errors.
# Usage: scripts/check-package.sh [build dir], default build/release (already built).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/build-env.sh"
build=${1:-$VS_ROOT/build/release}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail()
{
    echo "check-package: $*" >&2
    exit 1
}

echo "== install into a temporary prefix"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
expected=(
    bin/showvale
    bin/vistelle
    share/applications/org.vistelle.Showvale.desktop
    share/applications/org.vistelle.Vistelle.desktop
    share/mime/packages/vistelle-slideshow.xml
    share/metainfo/org.vistelle.Showvale.metainfo.xml
    share/metainfo/org.vistelle.Vistelle.metainfo.xml
    share/icons/hicolor/scalable/apps/org.vistelle.Showvale.svg
    share/icons/hicolor/scalable/apps/org.vistelle.Vistelle.svg
    share/man/man1/showvale.1.gz
    share/man/man1/vistelle.1.gz
    share/doc/vistelle/copyright
    share/doc/vistelle/changelog.gz
    share/showvale/demo/demo.ssp
    share/showvale/demo/melody.wav
)
for size in 16 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/org.vistelle.Showvale.png"
        "share/icons/hicolor/${size}x${size}/apps/org.vistelle.Vistelle.png")
done
for file in "${expected[@]}"; do
    [[ -f $prefix/$file ]] || fail "missing after install: $file"
done
echo "all ${#expected[@]} expected files installed"

echo "== validators"
desktop-file-validate "$prefix"/share/applications/*.desktop
appstreamcli validate --no-net --pedantic "$prefix"/share/metainfo/*.metainfo.xml
mkdir -p "$work/mime"
cp -r "$prefix/share/mime" "$work/mime/"
update-mime-database "$work/mime/mime"
grep -q 'application/x-vistelle-slideshow' "$work/mime/mime/globs2" || fail "*.ssp is not registered"
grep -q 'MimeType=application/x-vistelle-slideshow;' "$prefix"/share/applications/*.desktop
man -l "$prefix/share/man/man1/showvale.1.gz" >/dev/null 2>&1 || fail "showvale's manual does not format"

echo "== the installed demo show"
"$prefix/bin/showvale" --check "$prefix/share/showvale/demo/demo.ssp"
usage=$("$prefix/bin/showvale" --help)
grep -q -- --check <<<"$usage" || fail "showvale --help does not mention --check"

echo "== Debian package"
(cd "$build" && cpack -G DEB -B "$work/deb" >/dev/null)
deb=$(ls "$work"/deb/*.deb)
# Read into a variable first: with pipefail, grep -q ending early would fail the pipe.
control=$(dpkg-deb -I "$deb")
grep -q 'Depends:.*gstreamer1.0-plugins-good' <<<"$control" || fail "no GStreamer dependency"
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./usr/||' >"$work/contents"
for file in "${expected[@]}"; do
    grep -qx "$file" "$work/contents" || fail "missing in the package: $file"
done
demo=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/showvale/demo/demo.ssp)
grep -q '/usr/share/showvale/demo/slide-1.png' <<<"$demo" \
    || fail "the packaged demo does not name its installed pictures"
apt-get install -s "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "the package does not install here"; }
lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || true
grep -v 'root privileges' "$work/lintian.log" || true
if grep -q '^E:' "$work/lintian.log"; then
    fail "lintian reports errors"
fi
echo "check-package: $(basename "$deb") is good"
