#!/usr/bin/env bash
# Builds Showvale and plays its demo show: five slides and a melody, all made at build time by the
# project's own code and laid out as a disc holds them (build/release/demo-disc: the program, the
# project and its media side by side). With a display the show plays for real; click to end it.
# Without one it plays on a private X server, saves screenshots of the first slides and ends.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build/release
disc=$build/demo-disc

if [[ -f $root/scripts/install-deps.sh ]]; then
    bash "$root/scripts/install-deps.sh"
fi

export CCACHE_NOHASHDIR=1
export CCACHE_BASEDIR=$root
echo "demo: building into $build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$build" -j2 showvale-demo-disc

if [[ -n ${DISPLAY:-} ]]; then
    echo "demo: playing $disc/demo.ssp - click anywhere to end the show"
    exec "$disc/showvale" "$disc/demo.ssp"
fi

# No display: a private X server, screenshots, then a click that ends the show.
shots=$build/demo-screenshots
rm -rf "$shots"
mkdir -p "$shots"
log=$shots/showvale.log
display_file=$(mktemp)
xvfb_pid=
player_pid=
cleanup()
{
    if [[ -n $player_pid ]] && kill -0 "$player_pid" 2>/dev/null; then
        kill "$player_pid" 2>/dev/null || true
    fi
    if [[ -n $xvfb_pid ]] && kill -0 "$xvfb_pid" 2>/dev/null; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -f "$display_file"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
    [[ -s $display_file ]] && break
    sleep 0.1
done
if [[ ! -s $display_file ]]; then
    echo "demo: the private X server did not start" >&2
    exit 1
fi
export DISPLAY=:$(head -n1 "$display_file")
export QT_QPA_PLATFORM=xcb
echo "demo: no display; playing on the private X server $DISPLAY (1280x720)"

"$disc/showvale" "$disc/demo.ssp" >"$log" 2>&1 &
player_pid=$!
now_ms()
{
    echo $(($(date +%s%N) / 1000000))
}
start=$(now_ms)

# shot <milliseconds after start> <name>: a screenshot of the whole screen at that moment.
shot()
{
    local wait=$(($1 - ($(now_ms) - start)))
    if ((wait > 0)); then
        sleep "$(printf '%d.%03d' $((wait / 1000)) $((wait % 1000)))"
    fi
    import -window root "$shots/$2.png"
    echo "demo:   $shots/$2.png"
}
echo "demo: screenshots"
shot 500 0-start-delay
shot 2500 1-first-slide
shot 5500 2-second-slide
shot 8500 3-third-slide

xdotool mousemove 640 360 click 1
status=0
wait "$player_pid" || status=$?
player_pid=
if ((status == 0)); then
    echo "demo: a click ended the show; showvale exited normally (its output: $log)"
else
    echo "demo: showvale exited with status $status (its output: $log)" >&2
    exit "$status"
fi
