#!/usr/bin/env bash
# End to end: the real window program on a virtual X server. Starts tesvar on
# the sample spectrum (by its absolute path), waits until the window with the
# spectrum's caption exists, takes a screenshot of it and checks that it is
# not blank, then leaves the program through File, Exit.
#   bash window_e2e_test.sh SOURCE_DIR BINARY_DIR
# Exit 77 (skipped) only when Xvfb is missing.
set -u
src=$(cd "$1" && pwd)
bin=$(cd "$2" && pwd)
source "$src/tests/app/virtual_display.sh"
window_test_setup xdotool import identify

cat >"$work/inside.sh" <<'INSIDE'
set -u
src=$1 bin=$2 work=$3
source "$src/tests/app/virtual_display.sh"
caption="Tesvar v1.5a - polystyrene.sp"
unset QT_QPA_PLATFORM  # the window must go to the X server, not offscreen

start_window "$work/tesvar.log" "$caption" "$bin/tesvar" "$src/samples/polystyrene.sp"
# The first paint may take a while on a busy machine: screenshots until one
# shows more than one colour.
colours=0
for _ in $(seq 1 20); do  # at most about 10 s
  sleep 0.5
  import -window "$wid" "$work/window.png" 2>/dev/null || continue
  colours=$(identify -format '%k' "$work/window.png")
  [ "${colours:-0}" -gt 1 ] && break
done
if [ "${colours:-0}" -le 1 ]; then
  echo "FAIL: the screenshot has ${colours:-0} colour(s)"
  kill "$pid" 2>/dev/null
  exit 1
fi
echo "screenshot: $(identify -format '%wx%h' "$work/window.png"), $colours colours"

# File, Exit by its access keys; closing asks nothing.
program_ended() { ! kill -0 "$pid" 2>/dev/null; }
choose_menu_item "$wid" f x program_ended
if kill -0 "$pid" 2>/dev/null; then
  echo "FAIL: tesvar did not end after File, Exit"
  kill "$pid" 2>/dev/null
  exit 1
fi
wait "$pid"
rc=$?
if [ "$rc" -ne 0 ]; then
  echo "FAIL: tesvar ended with status $rc"
  cat "$work/tesvar.log"
  exit 1
fi
echo "PASS"
INSIDE

with_virtual_display timeout 120 bash "$work/inside.sh" "$src" "$bin" "$work"
