#!/usr/bin/env bash
# Fuzzes the project file format and the player's picture decoders: builds every fuzz target with
# clang in build/fuzz and runs each with its dictionary for an equal share of SECONDS (default
# 60), one after the other.
# Prints the inputs each target ran; exits non-zero when one fails and keeps the failing input in
# build/fuzz/crashes/.
# The inputs follow from FUZZ_SEED (default 1), so that a run that fails fails again on rerun and
# the test command tries the same inputs on every machine; FUZZ_SEED=0 picks a new seed each run.
# Usage: scripts/fuzz.sh [SECONDS]     (a long run on a shared machine: nice -n 19 scripts/fuzz.sh 1800)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/build-env.sh"
cd "$VS_ROOT"

seconds=${1:-60}
seed=${FUZZ_SEED:-1}
# Each target with the folder of inputs it starts from, and its dictionary.
declare -A seeds=(
    [project_reader_fuzzer]=fuzz/corpus
    [project_writer_fuzzer]=fuzz/writer-corpus
    [picture_decoder_fuzzer]=fuzz/picture-corpus
)
declare -A dictionaries=(
    [project_reader_fuzzer]=fuzz/project.dict
    [project_writer_fuzzer]=fuzz/project.dict
    [picture_decoder_fuzzer]=fuzz/picture.dict
)
targets=(project_reader_fuzzer project_writer_fuzzer picture_decoder_fuzzer)

CC=clang CXX=clang++ vs_configure build/fuzz -DVS_FUZZ=ON -DVS_BUILD_TESTS=OFF -DVS_BUILD_BENCH=OFF \
    >/dev/null
vs_build build/fuzz "${targets[@]}"

# ASan stores the stack of every allocation for its reports. Its fast unwinder follows frame
# pointers, which Qt's libraries do not keep, so it records new bogus stacks without end and the
# fuzzer grew past 1 GB within 400,000 inputs (no leak: the live heap stays near 25 MB). Without
# allocation stacks, and with a smaller quarantine, it stays near 200 MB. Reports still show where
# a fault happened; rerun the kept input without ASAN_OPTIONS for the allocation's stack too.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}malloc_context_size=0:quarantine_size_mb=64

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
share=$((seconds / ${#targets[@]}))
((share > 0)) || share=1
for target in "${targets[@]}"; do
    mkdir -p "$work/$target/corpus" "$work/$target/crashes"
    cp "${seeds[$target]}"/* "$work/$target/corpus/"
    if ! "build/fuzz/fuzz/$target" -max_total_time="$share" -seed="$seed" \
        -dict="${dictionaries[$target]}" -artifact_prefix="$work/$target/crashes/" "$work/$target/corpus" \
        >"$work/$target/fuzz.log" 2>&1; then
        tail -n 60 "$work/$target/fuzz.log"
        mkdir -p build/fuzz/crashes
        cp "$work/$target"/crashes/* build/fuzz/crashes/ 2>/dev/null || true
        echo "$target failed; the failing input is kept in build/fuzz/crashes/;" \
            "rerun it with build/fuzz/fuzz/$target <file>"
        exit 1
    fi
    echo "$target: $(grep -E '^Done [0-9]+ runs' "$work/$target/fuzz.log")," \
        "peak $(grep -oE 'rss: [0-9]+Mb' "$work/$target/fuzz.log" | tail -n 1)"
done
