#!/usr/bin/env bash
# End to end: a changed spectrum is not dropped without asking. On a virtual
# X server the real program is started on a copy of the sample with the
# baseline tool (-e); a right drag in the plot corrects the baseline; Ctrl+Q
# must bring "Save changes to polystyrene.sp?", and Escape (Cancel) must
# leave the window open.
#   bash unsaved_changes_e2e_test.sh SOURCE_DIR BINARY_DIR
# Exit 77 (skipped) only when Xvfb is missing.
set -u
src=$(cd "$1" && pwd)
bin=$(cd "$2" && pwd)
source "$src/tests/app/virtual_display.sh"
window_test_setup xdotool

cat >"$work/inside.sh" <<'INSIDE'
set -u
src=$1 bin=$2 work=$3
source "$src/tests/app/virtual_display.sh"
caption="Tesvar v1.5a - polystyrene.sp"
unset QT_QPA_PLATFORM
cp "$src/samples/polystyrene.sp" "$work/polystyrene.sp"

start_window "$work/tesvar.log" "$caption" "$bin/tesvar" -e "$work/polystyrene.sp"
trap 'kill "$pid" 2>/dev/null' EXIT
sleep 1
eval "$(xdotool getwindowgeometry --shell "$wid")"
top=$((Y + HEIGHT - 418))  # the client area is 418 px high, below the menu bar
# The plot surface starts at client (40, 40); with the cursor on the first
# point a right drag shifts the whole spectrum to the release height.
xdotool mousemove --sync $((X + 240)) $((top + 190)) mousedown 3
sleep 0.3
xdotool mousemove --sync $((X + 260)) $((top + 160))
sleep 0.3
xdotool mousemove --sync $((X + 280)) $((top + 140)) mouseup 3
sleep 0.5

# Ctrl+Q to the window until the question shows (a key sent before the
# window has the keyboard is lost on a busy machine); sets qid.
ask_to_quit() {
  local attempt
  qid=""
  for attempt in 1 2 3; do
    xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"
    xdotool key ctrl+q
    for _ in $(seq 1 10); do
      sleep 0.5
      qid=$(xdotool search --name '^Confirm$' 2>/dev/null | head -n 1)
      [ -n "$qid" ] && return 0
      kill -0 "$pid" 2>/dev/null || return 1
    done
    echo "ctrl+q: try $attempt showed no question"
  done
  return 1
}

if ! ask_to_quit; then
  kill -0 "$pid" 2>/dev/null && echo "FAIL: Ctrl+Q asked nothing" ||
    echo "FAIL: the program ended without asking"
  cat "$work/tesvar.log"
  exit 1
fi
echo "asked: $(xdotool getwindowname "$qid")"
xdotool windowfocus --sync "$qid" 2>/dev/null
xdotool key Escape
sleep 1.5
if ! kill -0 "$pid" 2>/dev/null; then
  echo "FAIL: the program ended although the question was cancelled"
  exit 1
fi
if [ -z "$(xdotool search --name "^${caption}\$" 2>/dev/null)" ]; then
  echo "FAIL: the window is gone after Cancel"
  exit 1
fi
echo "PASS"
INSIDE

with_virtual_display timeout 120 bash "$work/inside.sh" "$src" "$bin" "$work"
