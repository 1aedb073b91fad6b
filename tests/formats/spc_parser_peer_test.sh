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
run_npm_peer_check "$bin" "$bin/spc-parser-peer" spc-parser 1 SpcPeerExport "$src/tests/formats/spc_parser_peer_check.mjs"
