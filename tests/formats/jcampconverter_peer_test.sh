#!/usr/bin/env bash
# Our JCAMP-DX exports, FIX and DIFDUP, read by an independent reader: the
# npm package jcampconverter, installed into BINARY_DIR/npm-peer (once; later
# runs reuse it). The spectra are written by the JcampPeerExport test of
# tests_formats; every ordinate that jcampconverter reads must agree with
# TransY within 0.000005. The real JCAMP-DX files of the shared test data
# that the import takes (written out as read by JcampPeerExport.RealFilesAsRead)
# are read by jcampconverter too: every ordinate within 1e-6 of ours after
# the same conversion to transmittance. jcampconverter is a test peer only
# and never part of the product.
#   bash jcampconverter_peer_test.sh SOURCE_DIR BINARY_DIR
# Exit 77 (skipped) only when npm cannot install the package.
set -u
src=$(cd "$1" && pwd)
bin=$(cd "$2" && pwd)
source "$src/tests/shell_support.sh"

if ! peer=$(install_npm_peer "$bin" jcampconverter 12); then
  echo "npm could not install jcampconverter: skipped"
  exit 77
fi
if ! command -v node >/dev/null 2>&1; then
  echo "FAIL: npm is there but node is not"
  exit 1
fi
if [ ! -x "$bin/tests_formats" ]; then
  echo "FAIL: $bin/tests_formats is missing (build first)"
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! TESVAR_PEER_EXPORT_DIR="$work" "$bin/tests_formats" \
  --gtest_filter='JcampPeerExport.*' >"$work/export.log" 2>&1; then
  cat "$work/export.log"
  echo "FAIL: the export of the spectra failed"
  exit 1
fi

node "$src/tests/formats/jcampconverter_peer_check.mjs" "$peer" "$work"
