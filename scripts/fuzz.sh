#!/bin/sh
# Builds the fuzz preset and runs every libFuzzer harness (or the ones
# named) for the given seconds each, one after the other, over a copy of its
# seed corpus in fuzz/corpus/ (the committed corpus never grows), with its
# dictionary from fuzz/dict/ where there is one.
# Usage: scripts/fuzz.sh [seconds] [harness ...]   (default: 30 s, all)
# Runs are repeatable: libFuzzer seed 1 unless FUZZ_SEED says otherwise
# (FUZZ_SEED=0 lets libFuzzer choose one, for exploratory runs).
# Stops at the first crash, leak, timeout, memory blow-up or failed check
# and prints the path of the input that reproduces it.
set -eu
cd "$(dirname "$0")/.."
seconds="${1:-30}"
[ $# -gt 0 ] && shift
scripts/setup.sh fuzz

bin="build-fuzz/fuzz"
runs="build-fuzz/fuzz-runs"
if [ $# -gt 0 ]; then
  harnesses="$*"
else
  harnesses=$(cd "$bin" && ls fuzz_* | sort)
fi
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export ASAN_OPTIONS="detect_leaks=1"
total=0
for h in $harnesses; do
  h="fuzz_${h#fuzz_}"
  name="${h#fuzz_}"
  [ -x "$bin/$h" ] || { echo "fuzz.sh: no harness $bin/$h" >&2; exit 2; }
  work="$runs/$name"
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/artifacts"
  [ -d "fuzz/corpus/$name" ] && cp "fuzz/corpus/$name"/* "$work/corpus/"
  dict=""
  [ -f "fuzz/dict/$name.dict" ] && dict="-dict=fuzz/dict/$name.dict"
  # shellcheck disable=SC2086
  if "$bin/$h" -max_total_time="$seconds" -seed="${FUZZ_SEED:-1}" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
       -print_final_stats=1 -artifact_prefix="$work/artifacts/" $dict "$work/corpus" \
       >"$work/log" 2>&1; then
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
    echo "$h: ${execs:-?} executions in ${seconds} s, no finding"
    total=$((total + ${execs:-0}))
  else
    echo "$h: FINDING (log: $work/log)" >&2
    grep -E 'ERROR:|check failed|runtime error|SUMMARY|Test unit written' "$work/log" | head -20 >&2
    for f in "$work"/artifacts/*; do
      [ -e "$f" ] || continue
      echo "reproducing input: $f" >&2
      echo "run it again with: $bin/$h $f" >&2
    done
    exit 1
  fi
done
echo "fuzz.sh: every harness ran ${seconds} s without a finding ($total executions)"
