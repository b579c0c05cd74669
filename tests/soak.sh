#!/usr/bin/env bash
# The tests that need Wine, several rounds in a row beside two busy loops, as on
# a machine doing other work: prints each case that failed at least once, with
# how often. A case that fails one run in ten fails a newcomer's first `make
# test` often enough to matter. Each round's output is in build/logs/soak/.
#
#   tests/soak.sh     (SOAK_ROUNDS rounds, default 5; E2E_JOBS cases at a time, default 4)
set -uo pipefail
cd "$(dirname "$0")/.." || exit

ROUNDS=${SOAK_ROUNDS:-5}
JOBS=${E2E_JOBS:-4}
LOGS=build/logs/soak

mkdir -p "$LOGS"
rm -f "$LOGS"/round-*.log

busy=()
stop_busy() {
  for pid in "${busy[@]}"; do
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  busy=()
}
trap 'stop_busy; exit 130' INT TERM
for _ in 1 2; do
  sh -c 'while :; do :; done' &
  busy+=($!)
done

declare -A failures=()
rounds_failed=0
for round in $(seq 1 "$ROUNDS"); do
  started=$(date +%s)
  log=$LOGS/round-$round.log
  ctest --test-dir build/native -L wine -j "$JOBS" --output-on-failure >"$log" 2>&1
  rc=$?
  # ctest lists the failed cases after "The following tests FAILED:".
  failed=$(sed -n '/The following tests FAILED:/,$p' "$log" |
    sed -nE 's/^[[:space:]]*[0-9]+ - ([^ ]+) .*/\1/p')
  count=$(grep -Eo '[0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  printf 'round %d of %d: %s in %d s\n' "$round" "$ROUNDS" \
    "$([ "$rc" = 0 ] && echo "all passed" || echo "${count:-failed}")" $(($(date +%s) - started))
  if [ "$rc" != 0 ]; then
    rounds_failed=$((rounds_failed + 1))
    [ -z "$failed" ] && failed="(ctest itself, see $log)"
  fi
  for name in $failed; do
    failures[$name]=$((${failures[$name]:-0} + 1))
  done
done
stop_busy

if [ "${#failures[@]}" = 0 ]; then
  echo "make soak: every case passed in all $ROUNDS rounds"
  exit 0
fi
echo "make soak: $rounds_failed of $ROUNDS rounds had a failure; cases that failed, with how often:"
for name in "${!failures[@]}"; do
  printf '  %d of %d  %s\n' "${failures[$name]}" "$ROUNDS" "$name"
done | sort -rn
exit 1
