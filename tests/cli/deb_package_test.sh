#!/usr/bin/env bash
# `cpack -G DEB` builds tesvar_VERSION_ARCH.deb with the right control fields
# and files; then, as root with apt-get at hand, the package is installed
# with `apt-get install ./tesvar_*.deb`, its converter run from /usr/bin, and
# removed again (only when it was not installed before the test).
# TESVAR_SKIP_DEB_INSTALL=1 leaves the installation out.
# Usage: deb_package_test.sh SOURCE_DIR BINARY_DIR. Exit 77 = skipped.
set -u
bin=$2
source "$1/tests/shell_support.sh"
need_programs skip cpack dpkg-deb dpkg-shlibdeps
if [ ! -f "$bin/CPackConfig.cmake" ] || [ ! -x "$bin/tesvar-convert" ]; then
  echo "SKIP: no package configuration in $bin (built without the window program?)"
  exit 77
fi
start_checks

if ! (cd "$dir" && cpack -G DEB --config "$bin/CPackConfig.cmake" -B "$dir" >"$dir/cpack.log" 2>&1); then
  cat "$dir/cpack.log"
  echo "FAIL: cpack -G DEB"
  exit 1
fi
debs=("$dir"/tesvar_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: no single tesvar_*.deb"; exit 1; }
deb=${debs[0]}
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "tesvar_1.5a_$arch.deb" ] || fail "package file is $(basename "$deb")"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = "tesvar" ] || fail "Package: $(field Package)"
[ "$(field Version)" = "1.5a" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
depends=$(field Depends)
for needed in libqt6gui6 libqt6widgets6 libqt6printsupport6 fonts-liberation libc6; do
  case "$depends" in *"$needed"*) ;; *) fail "Depends lacks $needed: $depends" ;; esac
done
dpkg-deb --contents "$deb" | awk '{print $NF}' >"$dir/contents"
for f in ./usr/bin/tesvar ./usr/bin/tesvar-convert ./usr/share/applications/tesvar.desktop \
  ./usr/share/mime/packages/tesvar.xml ./usr/share/icons/hicolor/scalable/apps/tesvar.svg \
  ./usr/share/man/man1/tesvar-convert.1 ./usr/share/man/man1/tesvar.1; do
  grep -qx "$f" "$dir/contents" || fail "the package lacks $f"
done
# Nothing of the build (tests, libraries, benchmarks) goes into the package.
extra=$(grep -v -e '/$' "$dir/contents" | grep -v -x -e ./usr/bin/tesvar -e ./usr/bin/tesvar-convert \
  -e ./usr/share/applications/tesvar.desktop -e ./usr/share/mime/packages/tesvar.xml \
  -e ./usr/share/icons/hicolor/scalable/apps/tesvar.svg -e ./usr/share/man/man1/tesvar-convert.1 \
  -e ./usr/share/man/man1/tesvar.1)
[ -z "$extra" ] || fail "unexpected files in the package: $extra"

install_it() {
  if [ "${TESVAR_SKIP_DEB_INSTALL:-0}" = "1" ]; then
    echo "note: TESVAR_SKIP_DEB_INSTALL=1, the package was not installed"
    return 77
  fi
  if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null 2>&1; then
    echo "note: not root or no apt-get, the package was not installed"
    return 77
  fi
  if dpkg-query -W -f='${Status}' tesvar 2>/dev/null | grep -q "install ok installed"; then
    echo "note: a tesvar package is installed already; it is left alone"
    return 77
  fi
  # One installation at a time, also across build folders testing at once.
  exec 9>/tmp/tesvar-deb-test.lock
  flock -w 600 9 || { fail "waited too long for another package test"; return 1; }
  cp "$deb" "$dir/pkg/"
  local status=0
  if (cd "$dir/pkg" && DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
    -o DPkg::Lock::Timeout=300 ./"$(basename "$deb")") >"$dir/apt.log" 2>&1; then
    [ "$(/usr/bin/tesvar-convert --version)" = "tesvar-convert 1.5a" ] ||
      fail "the installed /usr/bin/tesvar-convert does not run"
    [ -f /usr/share/mime/packages/tesvar.xml ] || fail "the MIME file was not installed"
    out=$(mktemp -d)
    if ! /usr/bin/tesvar-convert --label-peaks "$1/samples/polystyrene.sp" "$out/p.png" 2>"$out/err"; then
      fail "the installed converter cannot draw a PNG: $(cat "$out/err")"
    fi
    rm -rf "$out"
  else
    tail -n 20 "$dir/apt.log"
    fail "apt-get install ./$(basename "$deb")"
    status=1
  fi
  DEBIAN_FRONTEND=noninteractive dpkg -r tesvar >"$dir/remove.log" 2>&1 ||
    { cat "$dir/remove.log"; fail "dpkg -r tesvar"; }
  [ ! -e /usr/bin/tesvar-convert ] || fail "removing the package left /usr/bin/tesvar-convert"
  flock -u 9
  return $status
}
mkdir -p "$dir/pkg"
install_it "$1"
installed=$?

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "package checks passed"
# The package itself was checked; only its installation was left out.
[ "$installed" -eq 77 ] && echo "(installation skipped)"
exit 0
