#!/usr/bin/env bash
# Builds everything with clang, AddressSanitizer and UndefinedBehaviorSanitizer in build/asan,
# runs the unit tests once under the sanitizers, then each fuzzing harness for a short fixed time
# over its seeds. Part of the test command; about ten minutes on two cores.
#   VANTIRO_FUZZ_SECONDS  seconds per harness (default 20)
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/asan
seconds=${VANTIRO_FUZZ_SECONDS:-20}

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVANTIRO_SANITIZE=ON -DVANTIRO_FUZZ=ON -DVANTIRO_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build "$build"

# fontconfig keeps its caches until exit on purpose; nothing else may leak.
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0"
export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$build" -j2 --timeout 600 --output-on-failure

findings="$build/fuzz-findings"
mkdir -p "$findings"
for seeds in fuzz/corpus/*/; do
    name=$(basename "$seeds")
    harness="$build/bin/fuzz_$name"
    work="$build/fuzz-corpus/$name"
    mkdir -p "$work"
    dict=()
    [ -f "fuzz/$name.dict" ] && dict=("-dict=fuzz/$name.dict")
    echo "fuzz_$name: ${seconds}s"
    "$harness" "${dict[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$findings/$name-" -print_final_stats=1 "$work" "$seeds" \
        2>"$build/fuzz-$name.log" || {
        tail -n 40 "$build/fuzz-$name.log"
        echo "fuzz_$name hat einen Fehler gefunden; die Eingabe liegt in $findings" >&2
        exit 1
    }
    grep -E "stat::number_of_executed_units" "$build/fuzz-$name.log" || true
done
