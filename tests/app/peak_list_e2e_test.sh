#!/usr/bin/env bash
# End to end: a person labels two bands of the sample spectrum and copies the
# peak list. On a virtual X server the real program is started on the sample,
# the label tool is chosen with the mouse, two bands are clicked (the one
# further right first), Edit > Copy peak list is chosen by its access keys
# and the clipboard is read back: two wavenumbers, the higher one first.
#   bash peak_list_e2e_test.sh SOURCE_DIR BINARY_DIR
# Exit 77 (skipped) only when Xvfb is missing.
set -u
src=$(cd "$1" && pwd)
bin=$(cd "$2" && pwd)
source "$src/tests/app/virtual_display.sh"
window_test_setup xdotool xclip

cat >"$work/inside.sh" <<'INSIDE'
set -u
src=$1 bin=$2 work=$3
source "$src/tests/app/virtual_display.sh"
caption="Tesvar v1.5a - polystyrene.sp"
unset QT_QPA_PLATFORM

start_window "$work/tesvar.log" "$caption" "$bin/tesvar" "$src/samples/polystyrene.sp"
trap 'kill "$pid" 2>/dev/null' EXIT
sleep 1
eval "$(xdotool getwindowgeometry --shell "$wid")"
# The client area is 418 px high; the menu bar takes the rest. Controls sit
# at fixed positions in the client area, where the window lays them out.
top=$((Y + HEIGHT - 418))
click() {  # client x, client y
  xdotool mousemove --sync $((X + $1)) $((top + $2)) click 1
  sleep 0.4
}
click 20 76     # "L": the label tool
# The plot surface starts at (40, 40); its frame runs from about 30 px in
# to 3 px before the right end of the 537 px surface, 15 to 288 px down.
click 460 290   # the band near 1030 1/cm
click 175 290   # the C-H band near 2920 1/cm
# Edit, peak list by its access keys; the clipboard is read until it holds
# the list.
text=""
clipboard_holds_list() {
  xclip -o -selection clipboard >"$work/clip.txt" 2>"$work/xclip.err"
  text=$(cat "$work/clip.txt")
  [[ "$text" =~ ^[0-9]+,\ [0-9]+$ ]]
}
choose_menu_item "$wid" e l clipboard_holds_list
echo "peak list: '$text'"
if ! [[ "$text" =~ ^([0-9]+),\ ([0-9]+)$ ]]; then
  echo "FAIL: the clipboard does not hold two wavenumbers"
  cat "$work/xclip.err" "$work/tesvar.log"
  exit 1
fi
if [ "${BASH_REMATCH[1]}" -le "${BASH_REMATCH[2]}" ]; then
  echo "FAIL: the higher wavenumber is not listed first"
  exit 1
fi
echo "PASS"
INSIDE

with_virtual_display timeout 120 bash "$work/inside.sh" "$src" "$bin" "$work"
