#!/usr/bin/env bash
# The steps of `make test` once the packages are in, each timed, with its output in
# build/logs/<step>.log. The end-to-end cases spend much of their time waiting on
# Wine, so while they run side by side the sanitizer, fuzzer and native trees are
# built and run at low priority, one build after another with two jobs at
# most. A step that fails stops only the steps that need it; the exit code says
# whether all passed.
#
#   tests/make_test.sh     (E2E_JOBS cases at a time, default 4; FUZZ_SECONDS, default 60)
set -uo pipefail
cd "$(dirname "$0")/.." || exit

JOBS=2
E2E_JOBS=${E2E_JOBS:-4}
FUZZ_SECONDS=${FUZZ_SECONDS:-60}
LOGS=build/logs
STEPS=$LOGS/steps.tsv  # step, result, seconds, in the order they ended

# Milliseconds since the epoch, and whole seconds since such a time.
now() { date +%s%3N; }
seconds_since() { echo $((($(now) - $1 + 500) / 1000)); }

# note NAME EXIT-CODE START: writes down how a step went.
note() {
  printf '%s\t%s\t%d\n' "$1" "$([ "$2" = 0 ] && echo passed || echo FAILED)" \
    "$(seconds_since "$3")" >>"$STEPS"
}

# step NAME COMMAND...: runs the command with its output in build/logs/NAME.log and
# notes how it went; returns its exit code.
step() {
  local name=$1 start rc
  shift
  start=$(now)
  "$@" >"$LOGS/$name.log" 2>&1
  rc=$?
  note "$name" $rc "$start"
  return $rc
}

# The builds and runs that need no Wine; a failed step stops those that need it.
# One clang tree holds both the unit tests under the sanitizers and the fuzzer; it
# is built first, so that the fuzzer's minute, which keeps one core busy, runs
# beside the native build. The builds yield to the fuzzer, whose minute is fixed.
background() {
  local fuzz=
  if step sanitizers-build nice -n 9 sh -c "cmake --preset sanitizers &&
    cmake --build --preset sanitizers --parallel $JOBS"; then
    step fuzz make --no-print-directory fuzz-run FUZZ_SECONDS="$FUZZ_SECONDS" &
    fuzz=$!
    step asan-unit build/sanitizers/vr_unit_tests --gtest_brief=1
  fi
  step native-build nice -n 9 cmake --build --preset native --parallel $JOBS &&
    touch "$LOGS/native-built"
  if [ -n "$fuzz" ]; then wait "$fuzz"; fi
  touch "$LOGS/background-done"
}

if [ "${1:-}" = --background ]; then
  background
  exit 0
fi

# One line about what a step did, from its log.
summary() {
  local log=$LOGS/$1.log
  case $1 in
    *-build) printf '%s warnings' "$(grep -c 'warning:' "$log")" ;;
    unit | e2e) grep -E 'tests passed|tests failed' "$log" | tail -n 1 ;;
    asan-unit) grep -E '^\[  (PASSED|FAILED)  \]' "$log" | tail -n 1 ;;
    fuzz) grep -E '^(Done|stat::number_of_executed_units)' "$log" | head -n 1 ;;
  esac
}

# Prints how a step went, with the end of its log when it failed.
report() {
  local name=$1 line result seconds
  line=$(grep -P "^$name\t" "$STEPS" | tail -n 1)
  if [ -z "$line" ]; then
    printf '  %-16s not run\n' "$name"
    return 1
  fi
  result=$(cut -f2 <<<"$line")
  seconds=$(cut -f3 <<<"$line")
  printf '  %-16s %-7s %4d s   %s\n' "$name" "$result" "$seconds" "$(summary "$name")"
  if [ "$result" != passed ]; then
    echo "---- the end of $LOGS/$name.log:"
    tail -n 40 "$LOGS/$name.log"
    echo "----"
    return 1
  fi
}

mkdir -p "$LOGS"
for name in "$LOGS"/*.log "$STEPS" "$LOGS/native-built" "$LOGS/background-done"; do
  rm -f "$name"
done
started=$(now)
# The Makefile writes down when it began to install packages, before it calls us.
if [ -f "$LOGS/installs-started" ]; then
  installs=$(($(cat "$LOGS/installs-started") * 1000))
  printf 'installs\tpassed\t%d\n' $(((started - installs + 500) / 1000)) >>"$STEPS"
  rm -f "$LOGS/installs-started"
  started=$installs
fi

chain=
# shellcheck disable=SC2317  # called by the trap
stop_background() {
  [ -n "$chain" ] && kill -- "-$chain" 2>/dev/null
}
trap 'stop_background; exit 130' INT TERM

echo "== Booting the Wine prefix the end-to-end cases copy, and building the exe"
step wine-prefix python3 tests/e2e/vrtest.py template &
prefix=$!
step windows-build sh -c "cmake --preset windows && cmake --build --preset windows --parallel $JOBS"
windows=$?
wait $prefix
prefix=$?
step native-configure cmake --preset native -DVR_WINDOWS_BUILD_DIR="$PWD/build/windows"

echo "== Building and running the sanitizer, fuzzer and native trees at low priority"
# In a session of its own, so that an interrupt can stop all of it.
setsid nice -n 10 "$0" --background </dev/null &
chain=$!

if [ $windows = 0 ] && [ $prefix = 0 ]; then
  echo "== End-to-end tests and the Win32 layer's checks under Wine, $E2E_JOBS at a time"
  start=$(now)
  ctest --test-dir build/native -L wine -j "$E2E_JOBS" --output-on-failure 2>&1 |
    tee "$LOGS/e2e.log"
  note e2e "${PIPESTATUS[0]}" "$start"
fi

echo "== Waiting for the native build"
while [ ! -e "$LOGS/native-built" ] && [ ! -e "$LOGS/background-done" ]; do sleep 1; done
if [ -e "$LOGS/native-built" ]; then
  echo "== Unit tests"
  step unit ctest --test-dir build/native -LE wine -j $JOBS --output-on-failure
fi
echo "== Waiting for the sanitizer and fuzzer steps"
wait $chain
chain=

echo "== make test: each step in seconds, its output in $LOGS/<step>.log"
failed=0
if grep -qP '^installs\t' "$STEPS"; then report installs; fi
for name in wine-prefix windows-build native-configure e2e sanitizers-build asan-unit fuzz \
  native-build unit; do
  report "$name" || failed=1
done
total=$(seconds_since "$started")
if [ $failed = 0 ]; then
  echo "make test: everything passed in $((total / 60)) min $((total % 60)) s"
else
  echo "make test: FAILED after $((total / 60)) min $((total % 60)) s"
fi
exit $failed
