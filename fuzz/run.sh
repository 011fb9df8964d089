#!/bin/sh
# Builds the text units natively with clang and its sanitizers (the project
# in this folder) into DIR, and either runs their unit tests or fuzzes each
# unit for a bounded time.
#
# Usage: run.sh test DIR
#        run.sh fuzz DIR [SECONDS]     seconds per target, default 40
#
# Fuzzing starts from the hand-written seeds in seeds/<target> and the
# corpus in corpus/<target>, and leaves corpus/<target> as the smallest set
# of inputs that reaches every branch the old corpus and the new finds
# reach together; an input that makes a target fail is kept in DIR/crashes.
set -e
mode=$1
dir=$2
seconds=${3:-40}
here=$(cd "$(dirname "$0")" && pwd)
targets="scan_number parameter_string ptp_texts com20020_info bdt_text"
mkdir -p "$dir"

# quietly LOG COMMAND...: the command's output to LOG, shown when it fails.
quietly() {
    log=$1
    shift
    "$@" >"$log" 2>&1 || { cat "$log"; echo "run.sh: failed: $*" >&2; exit 1; }
}

build() {
    [ -f "$dir/CMakeCache.txt" ] ||
        quietly "$dir/configure.log" cmake -S "$here" -B "$dir" -DCMAKE_CXX_COMPILER=clang++
    quietly "$dir/configure.log" cmake -S "$here" -B "$dir" -DFUZZ="$1"
    shift
    quietly "$dir/build.log" cmake --build "$dir" -j "$(nproc 2>/dev/null || echo 2)" --target "$@"
}

case "$mode" in
test)
    build OFF native_tests
    exec "$dir/native_tests"
    ;;
fuzz)
    build ON $(for t in $targets; do printf 'fuzz_%s ' "$t"; done)
    failed=""
    for t in $targets; do
        work="$dir/corpus/$t"
        rm -rf "$work" "$work.min" && mkdir -p "$work" "$work.min" "$here/corpus/$t" "$dir/crashes"
        if "$dir/fuzz_$t" -max_total_time="$seconds" -max_len=320 -dict="$here/texts.dict" \
            -artifact_prefix="$dir/crashes/$t-" "$work" "$here/seeds/$t" "$here/corpus/$t" >"$dir/$t.log" 2>&1; then
            quietly "$dir/$t.merge.log" "$dir/fuzz_$t" -merge=1 -use_counters=0 "$work.min" "$here/corpus/$t" "$work"
            rm -rf "$here/corpus/$t" && mv "$work.min" "$here/corpus/$t"
            echo "fuzz: $t: $(grep -o 'Done [0-9]* runs' "$dir/$t.log" | cut -d' ' -f2) runs clean," \
                "corpus of $(ls "$here/corpus/$t" | wc -l) inputs"
        else
            failed="$failed $t"
            echo "fuzz: $t FAILED, its report:"
            grep -A 2 'check failed\|ERROR\|runtime error' "$dir/$t.log" | head -n 20 | sed 's/^/    /'
            grep 'Test unit written' "$dir/$t.log" | sed 's/^/    /'
        fi
    done
    [ -z "$failed" ] || { echo "fuzz: failed:$failed (inputs in $dir/crashes)" >&2; exit 1; }
    ;;
*)
    echo "usage: run.sh test|fuzz DIR [SECONDS]" >&2
    exit 2
    ;;
esac
