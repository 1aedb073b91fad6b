# Sourced by the end-to-end window tests: runs a command on a virtual X
# server of its own, and chooses menu items in the program's window.
#
# Xvfb picks a free display itself (-displayfd) and writes its number once
# it accepts connections, so no display number is guessed and the command
# starts only when the server is ready. (xvfb-run guesses a number from the
# lock files in /tmp; twice a test's program started on a display it could
# not connect to, right after another test's server had ended.)

source "$(dirname "${BASH_SOURCE[0]}")/../shell_support.sh"

# window_test_setup PROGRAM...: skips the test without Xvfb, fails it
# without one of the programs it drives the window with (build.sh installs
# them all), and makes the scratch folder $work, removed at exit, which
# holds the program's settings.
window_test_setup() {
  need_programs skip Xvfb
  need_programs fail xdpyinfo "$@"
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  # The program's settings (its list of files read last) stay in the
  # scratch folder, away from the user's own.
  export XDG_CONFIG_HOME="$work/settings"
}

# start_virtual_display DIR: starts Xvfb, its messages in DIR/xvfb.log;
# sets xpid and display. Fails when no number came within 20 s. -noreset:
# an X server resets when its last client leaves, and a client connecting
# during the reset is refused; the check below is such a client.
start_virtual_display() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$1/display" 2>"$1/xvfb.log" &
  xpid=$!
  # The number ends with a newline.
  for _ in $(seq 1 200); do
    [ "$(wc -l <"$1/display")" -ge 1 ] && break
    kill -0 "$xpid" 2>/dev/null || break
    sleep 0.1
  done
  display=$(tr -dc '0-9' <"$1/display")
  [ "$(wc -l <"$1/display")" -ge 1 ] && [ -n "$display" ]
}

# Whether a client can connect to the display (within about 2 s). A server
# of another test run on this machine that ends on the same display number
# can remove the new server's socket as it goes: then nothing connects.
display_answers() {
  for _ in $(seq 1 20); do
    DISPLAY=":$1" xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

stop_virtual_display() {
  kill "$xpid" 2>/dev/null
  wait "$xpid" 2>/dev/null
}

# with_virtual_display COMMAND ARGS...: runs COMMAND with DISPLAY set and
# returns its status; 1 (with the server's messages) when no server that
# answers came up in three tries.
with_virtual_display() {
  local dir xpid display rc attempt
  dir=$(mktemp -d)
  for attempt in 1 2 3; do
    if start_virtual_display "$dir"; then
      display_answers "$display" && break
      echo "note: display :$display did not answer (try $attempt)"
    fi
    stop_virtual_display
    if [ "$attempt" -eq 3 ]; then
      echo "FAIL: Xvfb did not start"
      cat "$dir/xvfb.log"
      rm -rf "$dir"
      return 1
    fi
  done
  DISPLAY=":$display" "$@"
  rc=$?
  stop_virtual_display
  rm -rf "$dir"
  return "$rc"
}

# choose_menu_item WID MENU ITEM CHECK...: chooses a menu item of the window
# by its access keys (alt+MENU, then ITEM) until CHECK succeeds; CHECK runs
# every half second for about 5 s after each try. A key pressed before the
# menu has opened (and taken the keyboard) goes to the window instead, which
# a busy machine makes possible: then the menu is closed (Escape) and opened
# again, with more time, up to three tries. Fails when CHECK never succeeds.
choose_menu_item() {
  local wid=$1 menu=$2 item=$3 attempt
  shift 3
  for attempt in 1 2 3; do
    xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"
    xdotool key Escape
    xdotool key "alt+$menu"
    sleep "$attempt"
    xdotool key "$item"
    for _ in $(seq 1 10); do
      sleep 0.5
      "$@" && return 0
    done
    echo "alt+$menu, $item: try $attempt showed no effect"
  done
  return 1
}

# start_window LOG CAPTION PROGRAM ARGS...: starts the program in the
# background, its output to LOG, and waits at most 20 s for its window titled
# CAPTION; sets pid and wid. Exits 1, with the program's output, when the
# program ends first or no such window shows.
start_window() {
  local log=$1 caption=$2
  shift 2
  "$@" >"$log" 2>&1 &
  pid=$!
  wid=""
  for _ in $(seq 1 40); do
    wid=$(xdotool search --name "^${caption}\$" 2>/dev/null | head -n 1)
    [ -n "$wid" ] && return 0
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "FAIL: $(basename "$1") ended before showing its window"
      cat "$log"
      exit 1
    fi
    sleep 0.5
  done
  echo "FAIL: no window titled '$caption' within 20 s"
  kill "$pid" 2>/dev/null
  cat "$log"
  exit 1
}
