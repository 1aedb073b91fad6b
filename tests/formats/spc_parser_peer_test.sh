#!/usr/bin/env bash
# The real SPC files of the shared test data that our import takes, read by
# an independent reader: the npm package spc-parser, installed into
# BINARY_DIR/spc-parser-peer/npm-peer (once; later runs reuse it; a folder of
# its own, so that it never installs at the same time as another peer test
# into the same folder). Our records are written
# out by the SpcPeerExport test of tests_formats (NAME.real: the file's path,
# then TransY from the highest wavenumber down); every ordinate spc-parser
# reads must agree within 1e-6 after the same conversion to transmittance.
# spc-parser is a test peer only and never part of the product.
#   bash spc_parser_peer_test.sh SOURCE_DIR BINARY_DIR
# Exit 77 (skipped) when npm cannot install the package or the shared test
# data is absent.
set -u
src=$(cd "$1" && pwd)
bin=$(cd "$2" && pwd)
source "$src/tests/shell_support.sh"

if [ ! -d "$src/../shared/testdata/spc" ]; then
  echo "shared test data spc/ not present: skipped"
  exit 77
fi
mkdir -p "$bin/spc-parser-peer"
if ! peer=$(install_npm_peer "$bin/spc-parser-peer" spc-parser 1); then
  echo "npm could not install spc-parser: skipped"
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
  --gtest_filter='SpcPeerExport.*' >"$work/export.log" 2>&1; then
  cat "$work/export.log"
  echo "FAIL: the export of the spectra failed"
  exit 1
fi

node "$src/tests/formats/spc_parser_peer_check.mjs" "$peer" "$work"
