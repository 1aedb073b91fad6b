#!/usr/bin/env bash
# Tesvar build script.
#   ./build.sh run            install what is missing, build, open the viewer on the sample
#   ./build.sh test           install what is missing, build, run every test
#   ./build.sh build          install what is missing and build
set -euo pipefail
cd "$(dirname "$0")"

BUILD_DIR=${BUILD_DIR:-build}

# Debian packages the build, the tests and the peer programs of the tests need.
PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation fonts-dejavu-core
  xvfb xauth xdotool x11-utils
  hp2xx libwmf-bin librsvg2-bin poppler-utils libxml2-utils
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
  if [ ! -f "$BUILD_DIR/build.ninja" ]; then
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  fi
  cmake --build "$BUILD_DIR" -j "$(nproc)"
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
  *)
    echo "usage: $0 {run|test|build}" >&2
    exit 2
    ;;
esac
