# Sourced by the shell-driven tests: the steps every one of them repeats.
# A test that cannot run here exits 77, which CTest reports as skipped.

# need_programs skip|fail PROGRAM...: a missing program skips the test, or
# fails it where build.sh installs the program, so that a test does not pass
# by skipping itself.
need_programs() {
  local mode=$1 program
  shift
  for program in "$@"; do
    command -v "$program" >/dev/null 2>&1 && continue
    if [ "$mode" = skip ]; then
      echo "SKIP: $program is not installed"
      exit 77
    fi
    echo "FAIL: $program is not installed (build.sh installs it)"
    exit 1
  done
}

# converter_test_setup SOURCE_DIR BINARY_DIR: $src, $sample (the bundled
# spectrum) and $convert, the converter, whose absence skips the test.
converter_test_setup() {
  src=$1
  sample=$src/samples/polystyrene.sp
  convert=$2/tesvar-convert
  if [ ! -x "$convert" ]; then
    echo "SKIP: $convert was not built"
    exit 77
  fi
}

# start_checks: a scratch folder $dir, removed at exit, and fail(), which
# counts a failure and goes on so that one run reports them all.
start_checks() {
  dir=$(mktemp -d)
  trap 'rm -rf "$dir"' EXIT
  failures=0
}
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# end_checks MESSAGE: exits 1 after any failure, else prints MESSAGE.
end_checks() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)"
    exit 1
  fi
  echo "$1"
}

# install_npm_peer BINARY_DIR PACKAGE VERSION: installs an independent
# reader from the npm registry into BINARY_DIR/npm-peer once (later runs
# reuse it) and prints that folder. The peers serve the tests only and are
# never part of the product. Fails when npm is missing or cannot install it.
install_npm_peer() {
  local peer="$1/npm-peer" package=$2 version=$3
  if [ ! -f "$peer/node_modules/$package/package.json" ]; then
    command -v npm >/dev/null 2>&1 || return 1
    mkdir -p "$peer"
    [ -f "$peer/package.json" ] || echo '{"name": "tesvar-npm-peer", "private": true}' >"$peer/package.json"
    (cd "$peer" && npm install --no-audit --no-fund --loglevel=error "$package@$version") >&2 || return 1
  fi
  echo "$peer"
}

# run_npm_peer_check BINARY_DIR PEER_DIR PACKAGE VERSION GTEST_SUITE SCRIPT:
# installs PACKAGE into PEER_DIR/npm-peer, has the GTEST_SUITE tests of
# tests_formats write our records into a scratch folder
# (TESVAR_PEER_EXPORT_DIR) and runs the node SCRIPT on the peer and that
# folder; exits with the script's status, 77 when npm cannot install it.
run_npm_peer_check() {
  local bin=$1 peerDir=$2 package=$3 version=$4 suite=$5 script=$6 peer work
  mkdir -p "$peerDir"
  if ! peer=$(install_npm_peer "$peerDir" "$package" "$version"); then
    echo "npm could not install $package: skipped"
    exit 77
  fi
  need_programs fail node
  if [ ! -x "$bin/tests_formats" ]; then
    echo "FAIL: $bin/tests_formats is missing (build first)"
    exit 1
  fi
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  if ! TESVAR_PEER_EXPORT_DIR="$work" "$bin/tests_formats" \
    --gtest_filter="$suite.*" >"$work/export.log" 2>&1; then
    cat "$work/export.log"
    echo "FAIL: the export of the spectra failed"
    exit 1
  fi
  node "$script" "$peer" "$work"
  exit $?
}
