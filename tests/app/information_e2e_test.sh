#!/usr/bin/env bash
# tesvar --help and --version as a terminal or a script sees them: the text
# on standard output, exit status 0, no window and no display needed, and
# the same answer wherever the switch stands on the line.
#   bash information_e2e_test.sh SOURCE_DIR BINARY_DIR
# Exit 77 (skipped) only when the window program was not built.
set -u
source "$1/tests/shell_support.sh"
start_checks
tesvar=$2/tesvar
if [ ! -x "$tesvar" ]; then
  echo "SKIP: $tesvar was not built"
  exit 77
fi
# No display of any kind: a window would abort the program.
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

# args | exit status | what the first line of standard output is
while IFS='|' read -r args first; do
  # shellcheck disable=SC2086
  timeout 20 "$tesvar" $args >"$dir/out" 2>"$dir/err"
  status=$?
  [ "$status" -eq 0 ] || fail "tesvar $args: exit $status -- $(head -c 300 "$dir/err")"
  [ "$(head -n 1 "$dir/out")" = "$first" ] || fail "tesvar $args printed: $(head -n 1 "$dir/out")"
  [ -s "$dir/err" ] && fail "tesvar $args wrote to standard error: $(head -c 300 "$dir/err")"
done <<'TABLE'
--version|tesvar 1.5a
--help|Usage: tesvar [-e] [FILE]
-h|Usage: tesvar [-e] [FILE]
-e --help|Usage: tesvar [-e] [FILE]
--version --help|tesvar 1.5a
--help --version|Usage: tesvar [-e] [FILE]
missing.sp --version|tesvar 1.5a
TABLE

# The help names the switches and every kind of file read.
"$tesvar" --help >"$dir/help"
for text in "-e, /e" "--version" "Perkin-Elmer" "JCAMP-DX"; do
  grep -qF -- "$text" "$dir/help" || fail "--help lacks \"$text\""
done
# The manual page the build makes carries the version.
grep -q '^\.TH TESVAR 1 .*"Tesvar 1\.5a"' "$2/tesvar.1" || fail "tesvar.1 lacks its title line"

end_checks "window program information checks passed"
