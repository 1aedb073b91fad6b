#!/usr/bin/env bash
# `cmake --install` into a scratch DESTDIR: both programs, the desktop entry,
# the MIME types, the icon and the manual page land where the desktop and man
# look for them, each is well-formed, and the installed converter runs.
# Usage: install_test.sh SOURCE_DIR BINARY_DIR. Exit 77 = skipped.
set -u
bin=$2
source "$1/tests/shell_support.sh"
if [ ! -x "$bin/tesvar" ] || [ ! -x "$bin/tesvar-convert" ]; then
  echo "SKIP: the programs were not built"
  exit 77
fi
start_checks

if ! DESTDIR="$dir/root" cmake --install "$bin" --prefix /usr >"$dir/install.log" 2>&1; then
  cat "$dir/install.log"
  echo "FAIL: cmake --install"
  exit 1
fi
root=$dir/root/usr
for f in bin/tesvar bin/tesvar-convert share/applications/tesvar.desktop \
  share/mime/packages/tesvar.xml share/icons/hicolor/scalable/apps/tesvar.svg \
  share/man/man1/tesvar-convert.1 share/man/man1/tesvar.1; do
  [ -s "$root/$f" ] || fail "$f was not installed"
done
for f in bin/tesvar bin/tesvar-convert; do
  [ -x "$root/$f" ] || fail "$f is not executable"
done

# The desktop entry: the keys a menu needs, the program it starts, and the
# MIME types it claims, each of which the MIME file must define.
desktop=$root/share/applications/tesvar.desktop
[ "$(head -n 1 "$desktop")" = "[Desktop Entry]" ] || fail "desktop entry header"
for key in "Type=Application" "Name=Tesvar" "Exec=tesvar %f" "Icon=tesvar" "Terminal=false"; do
  grep -qx "$key" "$desktop" || fail "desktop entry lacks $key"
done
grep -q "^Categories=.*Science;" "$desktop" || fail "desktop entry is not under Science"
if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate"
fi
mime=$root/share/mime/packages/tesvar.xml
types=$(sed -n 's/^MimeType=//p' "$desktop" | tr ';' ' ')
[ -n "$types" ] || fail "the desktop entry claims no MIME types"
for t in $types; do
  grep -q "<mime-type type=\"$t\">" "$mime" || fail "$t is claimed but not defined"
done
for glob in '\*.sp' '\*.asc' '\*.jdx'; do
  grep -q "<glob pattern=\"$glob\"" "$mime" || fail "no MIME glob $glob"
done
grep -q 'type="chemical/x-jcamp-dx"' "$mime" || fail "*.jdx is not chemical/x-jcamp-dx"

if command -v xmllint >/dev/null 2>&1; then
  xmllint --noout "$mime" || fail "the MIME file is not well-formed"
  xmllint --noout "$root/share/icons/hicolor/scalable/apps/tesvar.svg" || fail "the icon is not well-formed"
fi
# The database tool accepts the definitions and maps the extensions.
if command -v update-mime-database >/dev/null 2>&1; then
  if update-mime-database "$root/share/mime" >"$dir/mime.log" 2>&1; then
    for pair in "sp:chemical/x-perkin-elmer-sp" "jdx:chemical/x-jcamp-dx" "asc:text/x-infrared-xy-list"; do
      grep -q "^${pair#*:}:\*\.${pair%%:*}$" "$root/share/mime/globs" || fail "globs lack $pair"
    done
  else
    cat "$dir/mime.log"
    fail "update-mime-database refused the definitions"
  fi
fi
if command -v groff >/dev/null 2>&1; then
  for page in tesvar-convert.1 tesvar.1; do
    warnings=$(groff -man -Tutf8 -ww -z "$root/share/man/man1/$page" 2>&1)
    [ -z "$warnings" ] || fail "the manual page $page has groff warnings: $warnings"
  done
fi
[ "$("$root/bin/tesvar-convert" --version)" = "tesvar-convert 1.5a" ] || fail "the installed converter does not run"
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/bin/tesvar" --version)" = "tesvar 1.5a" ] ||
  fail "the installed window program does not answer --version"

end_checks "install checks passed"
