#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in ./build-fuzz and runs each for a while.
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET ...]      (default: 30 s, every target)
# A long run: scripts/fuzz.sh 3600. Findings are written to build-fuzz/findings/. One input
# may take up to 60 s before it counts as a hang: on a loaded machine a fast input can stall.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/.."
seconds="${1:-30}"; [ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_setup_file fuzz_results_file fuzz_list_items
                                     fuzz_leading_number fuzz_solve_input fuzz_rule_set
                                     fuzz_interrupted_pass_files
                                     fuzz_track_file)
WAKELINE_EXTRA_PACKAGES="clang libclang-rt-14-dev" "$here/deps.sh"
build="$root/build-fuzz"
if [ ! -f "$build/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DWAKELINE_FUZZ=ON -DWAKELINE_BUILD_TESTS=OFF -DWAKELINE_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j "${WAKELINE_JOBS:-$(nproc)}" --target "${targets[@]}"

# Seeds: the committed corpus plus the program's own files and the tests' files of each kind.
seed() {
    local target="$1"; shift
    local dir="$build/corpus/$target"
    mkdir -p "$dir"
    cp -n "$root/fuzz/corpus/$target/"* "$dir/" 2>/dev/null || true
    for f in "$@"; do [ -f "$f" ] && cp -n "$f" "$dir/" 2>/dev/null || true; done
}
shopt -s nullglob
seed fuzz_setup_file "$root"/resources/program/*.ipt "$root"/tests/data/*.ipt
seed fuzz_results_file
seed fuzz_list_items
seed fuzz_leading_number
seed fuzz_solve_input
seed fuzz_rule_set "$root"/resources/program/rules/*.txt
seed fuzz_interrupted_pass_files
seed fuzz_track_file

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
mkdir -p "$build/findings"
failed=0
for t in "${targets[@]}"; do
    log="$build/findings/$t.log"
    if "$build/fuzz/$t" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 \
            -max_len=65536 -print_final_stats=1 -artifact_prefix="$build/findings/$t-" \
            "$build/corpus/$t" >"$log" 2>&1; then
        runs=$(grep -m1 'stat::number_of_executed_units' "$log" | awk '{print $2}')
        echo "$t: ${runs:-?} runs in ${seconds} s, no finding"
    else
        echo "$t: FINDING (see $log)"; tail -n 30 "$log"; failed=1
    fi
done
exit $failed
