#!/usr/bin/env bash
# Checks what users install: `cmake --install` into a temporary prefix must hold the expected files
# and pass the desktop-entry and AppStream validators, the installed demo must pass
# `showvale --check`, the installed programs must work for an ordinary user (a show from a folder
# outside the prefix plays, the editor's Test and Auto Runner work), and the Debian package must
# list the same files, install on this Debian (simulated) and leave lintian without errors.
# Usage: scripts/check-package.sh [build dir], default build/release (already built).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/build-env.sh"
build=${1:-$VS_ROOT/build/release}
work=$(mktemp -d)
started=() # processes this script started, ended with it
sound_module="" # the sound server's door for the ordinary user, closed with it

cleanup()
{
    local pid
    for pid in "${started[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    [[ -n $sound_module ]] && pactl unload-module "$sound_module" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

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

echo "== the installed programs as an ordinary user"
# Root may write anywhere, so the programs run as nobody, who may write neither the prefix nor
# anything but its own home and its stick.
chmod 755 "$work"
home=$work/home
stick=$work/stick
mkdir -p "$home/run" "$stick"
chmod 700 "$home/run"
# A red photo in Adobe RGB with its profile embedded, as a camera writes it: shown unconverted it
# would be a dull (218,0,0).
cp "$VS_ROOT/tests/picture/corpus/tagged-a98-red.jpg" "$stick/red.jpg"
printf '%%CurDir\\red.jpg *;Pause=0\r\nSp=1\r\nEa=0\r\n' >"$stick/show.ssp"
chown -R nobody:nogroup "$home" "$stick"
# A user's desktop session has a sound server of its own; here the running one opens a socket in
# the user's runtime folder, where the programs look for it.
sound=()
if pactl info >/dev/null 2>&1; then
    sound_module=$(pactl load-module module-native-protocol-unix auth-anonymous=1 \
        socket="$work/sound")
    sound=(PULSE_SERVER="unix:$work/sound")
fi

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
started+=($!)
for _ in $(seq 50); do
    [[ -s $work/display ]] && break
    sleep 0.1
done
[[ -s $work/display ]] || fail "Xvfb did not start"
display=:$(cat "$work/display")

# Each program replaces the one before, so $! is the program itself.
as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups env -i PATH=/usr/bin:/bin
    DISPLAY="$display" QT_QPA_PLATFORM=xcb HOME="$home" XDG_RUNTIME_DIR="$home/run"
    XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share"
    XDG_CACHE_HOME="$home/.cache" "${sound[@]}")
on_screen()
{
    DISPLAY=$display "$@"
}
# Waits until the screen shows the show's red picture in its middle, in its true colour.
wait_for_picture()
{
    local colour red green blue
    for _ in $(seq 60); do
        colour=$(on_screen import -window root png:- 2>/dev/null \
            | convert png:- -format '%[fx:int(255*p{512,384}.r)] %[fx:int(255*p{512,384}.g)] %[fx:int(255*p{512,384}.b)]' info: 2>/dev/null || true)
        read -r red green blue <<<"${colour:-0 0 0}"
        ((red >= 250 && green <= 5 && blue <= 5)) && return 0
        sleep 0.25
    done
    fail "$1: the picture is not on the screen in its true colours (last seen: $colour)"
}
# Waits until a window with exactly this title is shown (or, with "gone", no longer shown).
wait_for_window()
{
    for _ in $(seq 60); do
        if on_screen xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; then
            [[ ${2:-} != gone ]] && return 0
        elif [[ ${2:-} == gone ]]; then
            return 0
        fi
        sleep 0.25
    done
    fail "window \"$1\" ${2:-not shown}"
}
# Clicks the middle of the screen, where the show is, and waits for the player to end.
click_show_and_wait()
{
    on_screen xdotool mousemove 512 384 click 1
    for _ in $(seq 40); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.25
    done
    fail "$2 did not end on a click"
}

"${as_user[@]}" "$prefix/bin/showvale" --check "$stick/show.ssp" >/dev/null \
    || fail "showvale --check fails on a %CurDir show beside its project"
"${as_user[@]}" "$prefix/bin/showvale" "$stick/show.ssp" 2>/dev/null &
started+=($!)
wait_for_picture "the installed player"
click_show_and_wait $! "the installed player"

# The editor opens the show, tests it from the Project panel and compiles an Autorun.inf. The
# controls sit where the window's layout puts them, below the menu bar.
"${as_user[@]}" "$prefix/bin/vistelle" "$stick/show.ssp" 2>/dev/null &
started+=($!)
editor_pid=$!
wait_for_window Vistelle
editor=$(on_screen xdotool search --onlyvisible --name '^Vistelle$' | head -n 1)
eval "$(on_screen xdotool getwindowgeometry --shell "$editor")"
menu=$((HEIGHT - 353))
on_screen xdotool mousemove --window "$editor" 344 $((menu + 268)) click 1 # "Project"
sleep 0.5
on_screen xdotool mousemove --window "$editor" 48 $((menu + 316)) click 1 # "Test"
wait_for_picture "the editor's Test"
[[ -f $home/.local/share/Vistelle/testrun.test ]] || fail "testrun.test is not in the user's data folder"
on_screen xdotool mousemove 512 384 click 1
wait_for_window Form1 gone
on_screen xdotool search --onlyvisible --name '^Vistelle$' >/dev/null || fail "the editor is gone after Test"

on_screen xdotool mousemove --window "$editor" 564 $((menu + 316)) click 1 # "Auto Runner"
wait_for_window "Auto Runner"
builder=$(on_screen xdotool search --onlyvisible --name '^Auto Runner$' | head -n 1)
on_screen xdotool mousemove --window "$builder" 40 68 click 1 # "Compile"
wait_for_window "Save Autorun.inf"
on_screen xdotool windowfocus --sync "$(on_screen xdotool search --onlyvisible --name '^Save Autorun.inf$')"
on_screen xdotool key Return # the dialog offers Autorun.inf in the project's folder
for _ in $(seq 40); do
    [[ -f $stick/Autorun.inf ]] && break
    sleep 0.25
done
printf '[Autorun]\r\nopen=Vistelle.exe slide.ssp\r\n' | cmp -s - "$stick/Autorun.inf" \
    || fail "Compile through the Save dialog did not write the two lines to the project's folder"
kill "$editor_pid"

# The disc layout: the player beside the show, started from there as an Autorun.inf would.
install -o nobody -g nogroup "$prefix/bin/showvale" "$stick/showvale"
"${as_user[@]}" env --chdir="$stick" ./showvale show.ssp 2>/dev/null &
started+=($!)
wait_for_picture "the player beside the show"
click_show_and_wait $! "the player beside the show"
echo "a show outside the prefix plays, Test and Auto Runner work for an ordinary user"

echo "== Debian package"
(cd "$build" && cpack -G DEB -B "$work/deb" >/dev/null)
deb=$(ls "$work"/deb/*.deb)
# Read into a variable first: with pipefail, grep -q ending early would fail the pipe.
control=$(dpkg-deb -I "$deb")
grep -q 'Depends:.*gstreamer1.0-plugins-good' <<<"$control" || fail "no GStreamer dependency"
grep -q 'Depends:.*libheif1' <<<"$control" || fail "no libheif dependency for HEIC and AVIF"
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
