#!/usr/bin/env bash
# Runs a cross-built test program under Wine on an X server of its own, in a
# Wine prefix of its own copied from the end-to-end tests' template, with its
# own temporary folder; stops what it started, by pid or by its prefix alone,
# and deletes only that folder.
#
#   tests/win32/run_under_wine.sh PROGRAM.exe [ARGUMENTS...]
set -uo pipefail

if [ ! -f "${1:-}" ]; then
  echo "${1:-the program} is missing: build it with \`make windows\`" >&2
  exit 1
fi
# Whole, for it runs from the temporary folder.
exe=$(realpath "$1")
shift
repo=$(cd "$(dirname "$0")/../.." && pwd)
build=${VR_BUILD:-$repo/build/native}

mkdir -p "$build/win32-tmp"
tmp=$(mktemp -d "$build/win32-tmp/run-XXXXXX")
prefix=$tmp/prefix
mkdir "$tmp/tmp"
xvfb=
server=
display=
child=

wine_env() {
  env WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
    DISPLAY="$display" TMPDIR="$tmp/tmp" "$@"
}

finish() {
  if [ -n "$server" ]; then
    # Ends every Wine process of this prefix only (the server and the services
    # it started, should the program have been stopped), then waits for them.
    wine_env wineserver -k 2>/dev/null
    wine_env wineserver -w 2>/dev/null
  fi
  if [ -n "$child" ]; then wait "$child" 2>/dev/null; fi
  if [ -n "$xvfb" ]; then
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
  fi
  rm -rf "$tmp"
}
trap finish EXIT
trap 'exit 130' INT TERM

# The template is booted once and copied under a lock shared with the
# end-to-end harness.
VR_BUILD=$build python3 "$repo/tests/e2e/vrtest.py" prefix "$prefix" >/dev/null || exit 1

# Xvfb picks a free display and writes its number to the file.
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp -noreset \
  3>"$tmp/display" </dev/null >"$tmp/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 300); do
  [ -s "$tmp/display" ] && break
  if ! kill -0 "$xvfb" 2>/dev/null; then
    echo "Xvfb exited:" >&2
    cat "$tmp/xvfb.log" >&2
    exit 1
  fi
  sleep 0.1
done
if [ ! -s "$tmp/display" ]; then
  echo "Xvfb did not report its display number" >&2
  exit 1
fi
display=:$(tr -d '[:space:]' <"$tmp/display")

server=1
# Without address-space randomisation where the system allows it: now and then
# a randomised layout kills Wine before it runs anything.
fixed=()
if setarch -R true 2>/dev/null; then fixed=(setarch -R); fi

# A Wine program that ends in failure without a word never ran (a test
# program always says what failed): it is started again, twice at most.
for attempt in 1 2 3; do
  # In the background, so that a stop request is taken at once, not when it ends.
  (cd "$tmp" && wine_env "${fixed[@]}" wine "$exe" "$@") >"$tmp/out.log" 2>&1 </dev/null &
  child=$!
  wait $child
  code=$?
  child=
  if [ $code = 0 ] || [ -s "$tmp/out.log" ] || [ $attempt = 3 ]; then break; fi
  echo "[run_under_wine] wine ended at once ($code), starting it again" >&2
done
cat "$tmp/out.log"
exit $code
