#!/usr/bin/env bash
# The test command: installs what is missing, checks the formatting and the includes between the
# layers, builds and runs every test in a release build and in an ASan+UBSan build, checks what
# `cmake --install` and the Debian package hold, then fuzzes the project file readers and writer
# and the picture decoders for 30 s in all (scripts/fuzz.sh).
# Exits non-zero on the first failure.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/build-env.sh"
cd "$VS_ROOT"

FUZZ_SECONDS=${FUZZ_SECONDS:-30}
started=$SECONDS
step_started=$SECONDS
current_step=""
results=()

section()
{
    if [[ -n "$current_step" ]]; then
        results+=("$current_step $((SECONDS - step_started)) s")
    fi
    current_step=$1
    step_started=$SECONDS
    printf '\n==== %s ====\n' "$1"
}

finish()
{
    local status=$?
    echo
    results+=("$current_step $((SECONDS - step_started)) s")
    printf '  %s\n' "${results[@]}"
    if ((status == 0)); then
        echo "test.sh: PASSED in $((SECONDS - started)) s"
    else
        echo "test.sh: FAILED at \"$current_step\" (exit $status) after $((SECONDS - started)) s"
    fi
}
trap finish EXIT

# Tests that play or record sound need a sound server; a null sink lets them record what plays
# on a machine without a sound card.
start_sound_server()
{
    if ! command -v pulseaudio >/dev/null; then
        echo "pulseaudio not installed; tests that record sound cannot run" >&2
        return 1
    fi
    if ! pactl info >/dev/null 2>&1; then
        # As root PulseAudio only warns that it runs in a user's session, which is what we want.
        pulseaudio --daemonize=yes --exit-idle-time=-1 --disallow-exit --log-target=syslog \
            2>/dev/null || true
        local tries=0
        until pactl info >/dev/null 2>&1; do
            if ((++tries > 50)); then
                echo "PulseAudio did not start" >&2
                return 1
            fi
            sleep 0.1
        done
        echo "started PulseAudio; it stays running for later runs"
    fi
    if ! pactl list short sinks | grep -q $'\tvs_null\t'; then
        pactl load-module module-null-sink sink_name=vs_null >/dev/null
    fi
    pactl set-default-sink vs_null
    echo "sound goes to the null sink vs_null"
}

# Runs the tests of a build directory. The on-screen tests drive the real programs on a private X
# server, where a fully loaded machine can make one miss its moment (seen once in many runs), so
# each of them gets a second try; a fault that shows every time still fails.
run_tests()
{
    ctest --test-dir "$1" --output-on-failure -j"$VS_JOBS" -E '^e2e_tests[.]'
    ctest --test-dir "$1" --output-on-failure -j"$VS_JOBS" -R '^e2e_tests[.]' --repeat until-pass:2
}

section "Dependencies"
scripts/install-deps.sh

section "Formatting (clang-format)"
mapfile -t sources < <(git ls-files -- src apps tests bench fuzz | grep -E '\.(cpp|h)$')
unformatted=()
for file in "${sources[@]}"; do
    if ! clang-format --dry-run -Werror "$file" >/dev/null 2>&1; then
        unformatted+=("$file")
    fi
done
if ((${#unformatted[@]} > 0)); then
    echo "These files differ from .clang-format (fix with clang-format -i):"
    printf '  %s\n' "${unformatted[@]}"
    exit 1
fi
echo "${#sources[@]} files formatted"

section "Include layers"
scripts/check-includes.py

section "Sound server"
start_sound_server

section "Release build (build/release)"
vs_configure build/release
vs_build build/release

section "Release tests"
run_tests build/release

section "Install and Debian package"
scripts/check-package.sh build/release

section "ASan+UBSan build (build/asan)"
# -O1 and line tables only: about half the compile time of -O2 -g, and ASan still names the lines.
vs_configure build/asan -DVS_SANITIZE=ON -DVS_BUILD_BENCH=OFF \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG"
vs_build build/asan

section "ASan+UBSan tests"
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:check_initialization_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$VS_ROOT/cmake/lsan.supp:print_suppressions=0
run_tests build/asan

section "Fuzzing the project file format and the picture decoders (${FUZZ_SECONDS} s, clang build in build/fuzz)"
scripts/fuzz.sh "$FUZZ_SECONDS"
