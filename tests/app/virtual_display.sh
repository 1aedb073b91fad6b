# Sourced by the end-to-end window tests: runs a command on a virtual X
# server of its own.
#
# Xvfb picks a free display itself (-displayfd) and writes its number once
# it accepts connections, so no display number is guessed and the command
# starts only when the server is ready. (xvfb-run guesses a number from the
# lock files in /tmp; twice a test's program started on a display it could
# not connect to, right after another test's server had ended.)

# with_virtual_display COMMAND ARGS...: runs COMMAND with DISPLAY set and
# returns its status; 1 (with the server's messages) when no server came up.
with_virtual_display() {
  local dir xpid display rc
  dir=$(mktemp -d)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
  xpid=$!
  # The number ends with a newline; at most 20 s.
  for _ in $(seq 1 200); do
    [ "$(wc -l <"$dir/display")" -ge 1 ] && break
    kill -0 "$xpid" 2>/dev/null || break
    sleep 0.1
  done
  display=$(tr -dc '0-9' <"$dir/display")
  if [ "$(wc -l <"$dir/display")" -lt 1 ] || [ -z "$display" ]; then
    echo "FAIL: Xvfb did not start"
    cat "$dir/xvfb.log"
    kill "$xpid" 2>/dev/null
    wait "$xpid" 2>/dev/null
    rm -rf "$dir"
    return 1
  fi
  DISPLAY=":$display" "$@"
  rc=$?
  kill "$xpid" 2>/dev/null
  wait "$xpid" 2>/dev/null
  rm -rf "$dir"
  return "$rc"
}
