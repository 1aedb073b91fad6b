#!/usr/bin/env bash
# Tesvar build script.
#   ./build.sh run            install what is missing, build, open the viewer on the sample
#   ./build.sh test           install what is missing, build, run every test
#   ./build.sh build          install what is missing and build
#   ./build.sh sanitize       build everything with AddressSanitizer + UBSan, run every test
#   ./build.sh fuzz [SECONDS] build the libFuzzer targets and run each for SECONDS (default 60;
#                             FUZZ_RUNS=N: for N executions instead)
#   ./build.sh fuzz-ci        replay the fuzz corpora, then fuzz each target for 12 s
#   ./build.sh format-check   fail when a source file differs from clang-format's layout
#   ./build.sh format         lay out every source file with clang-format
# TESVAR_WERROR=ON makes compiler warnings in the project's code errors (CI sets it).
set -euo pipefail
cd "$(dirname "$0")"

BUILD_DIR=${BUILD_DIR:-build}

# Debian packages the build, the tests and the peer programs of the tests need.
PACKAGES=(
  cmake ninja-build g++ pkg-config clang-format
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev
  fonts-liberation fonts-dejavu-core
  xvfb xauth xdotool x11-utils imagemagick xclip
  clang libclang-rt-14-dev
  hp2xx libwmf-bin fonts-urw-base35 librsvg2-bin poppler-utils libxml2-utils
  dpkg-dev desktop-file-utils shared-mime-info groff-base
)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  # npm brings the independent JCAMP-DX reader the interchange tests compare with.
  if ! command -v npm >/dev/null 2>&1; then missing+=(npm); fi
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

configure_and_build() {
  local options=()
  [ -n "${TESVAR_WERROR:-}" ] && options+=(-DTESVAR_WERROR="$TESVAR_WERROR")
  if [ ! -f "$BUILD_DIR/build.ninja" ]; then
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" "$@"
  elif [ ${#options[@]} -gt 0 ]; then
    cmake "$BUILD_DIR" "${options[@]}" >/dev/null
  fi
  cmake --build "$BUILD_DIR" -j "$(nproc)"
}

SANITIZE_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

sanitize() {
  local dir=build-sanitize
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESVAR_BUILD_BENCH=OFF \
      -DCMAKE_CXX_FLAGS="$SANITIZE_FLAGS" -DCMAKE_EXE_LINKER_FLAGS="$SANITIZE_FLAGS"
  fi
  cmake --build "$dir" -j "$(nproc)"
  export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
  export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tools/lsan.supp:print_suppressions=0}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
  ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" "$@"
}

FUZZ_DIR=build-fuzz

# The spectrum record's constructor is left out of the coverage
# instrumentation (fuzz/coverage_ignore.txt says why); ASan and UBSan check
# everything.
build_fuzzers() {
  if [ ! -f "$FUZZ_DIR/build.ninja" ]; then
    CXX=clang++ cmake -S . -B "$FUZZ_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DTESVAR_FUZZ=ON -DTESVAR_BUILD_GUI=OFF -DTESVAR_BUILD_TESTS=OFF -DTESVAR_BUILD_BENCH=OFF \
      -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fsanitize-coverage-ignorelist=$PWD/fuzz/coverage_ignore.txt" \
      -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
  fi
  cmake --build "$FUZZ_DIR" -j "$(nproc)"
}

# Every run allocates and frees spectrum records of 128 KB. ASan's default
# 256 MB quarantine of freed memory then keeps the process touching fresh
# pages; 16 MB still holds everything freed in the last few runs, so a use
# after free within a run is caught as before. Allocation stacks of 5
# frames (instead of 30) name the allocating function; a finding is
# replayed with the defaults for its full report.
FUZZ_ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=16:malloc_context_size=5

# Runs every fuzz target for $1 seconds on a working copy of its corpus, so the
# committed seeds stay small; new findings are left in $FUZZ_DIR/findings.
# FUZZ_JOBS=2 runs each target in that many processes (libFuzzer's -fork);
# FUZZ_RUNS=N runs each target for N executions instead of a time.
run_fuzzers() {
  local seconds=$1 status=0 jobs=${FUZZ_JOBS:-1}
  local limit=(-max_total_time="$seconds")
  [ -n "${FUZZ_RUNS:-}" ] && limit=(-runs="$FUZZ_RUNS")
  export ASAN_OPTIONS=${ASAN_OPTIONS:-$FUZZ_ASAN_OPTIONS}
  mkdir -p "$FUZZ_DIR/findings"
  for target in "$FUZZ_DIR"/*_fuzz; do
    local name
    name=$(basename "$target" _fuzz)
    local work="$FUZZ_DIR/corpus-$name"
    mkdir -p "$work"
    local extra=()
    [ -f "fuzz/$name.dict" ] && extra+=(-dict="fuzz/$name.dict")
    [ "$jobs" -gt 1 ] && extra+=(-fork="$jobs")
    echo "== $name: ${limit[*]}"
    if ! "$target" "$work" "fuzz/corpus/$name" "${extra[@]}" "${limit[@]}" \
        -max_len=70000 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$FUZZ_DIR/findings/$name-" 2>"$FUZZ_DIR/$name.log"; then
      status=1
      tail -n 40 "$FUZZ_DIR/$name.log"
    fi
    # Executions: the final statistics of a single process, or the last
    # progress line ("#N: cov: ...") of a forked run.
    grep -E "stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb" \
      "$FUZZ_DIR/$name.log" || grep -E "^#[0-9]+: cov:" "$FUZZ_DIR/$name.log" | tail -n 1 || true
  done
  return $status
}

replay_corpora() {
  local status=0
  for target in "$FUZZ_DIR"/*_fuzz; do
    local name
    name=$(basename "$target" _fuzz)
    echo "== replaying fuzz/corpus/$name"
    "$target" -runs=0 "fuzz/corpus/$name" >/dev/null 2>"$FUZZ_DIR/$name.replay.log" || {
      status=1
      tail -n 40 "$FUZZ_DIR/$name.replay.log"
    }
  done
  return $status
}

# The C++ sources clang-format lays out: every tracked .cpp and .h of the
# program, its tests, fuzz targets, benchmarks and tools.
format_sources() {
  git ls-files -z -- src tests fuzz bench tools | grep -zE '\.(cpp|h)$'
}

cmd=${1:-build}
shift || true
case "$cmd" in
  build)
    install_missing
    configure_and_build
    ;;
  run)
    install_missing
    configure_and_build
    exec "$BUILD_DIR/tesvar" samples/polystyrene.sp "$@"
    ;;
  test)
    install_missing
    configure_and_build
    export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
    ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" "$@"
    ;;
  sanitize)
    install_missing
    sanitize "$@"
    ;;
  fuzz)
    install_missing
    build_fuzzers
    run_fuzzers "${1:-60}"
    ;;
  fuzz-ci)
    install_missing
    build_fuzzers
    replay_corpora
    run_fuzzers 12
    ;;
  format-check)
    install_missing
    format_sources | xargs -0 clang-format --dry-run -Werror
    echo "every source file is laid out as clang-format lays it out"
    ;;
  format)
    install_missing
    format_sources | xargs -0 clang-format -i
    ;;
  *)
    echo "usage: $0 {run|test|build|sanitize|fuzz [SECONDS]|fuzz-ci|format-check|format}" >&2
    exit 2
    ;;
esac
