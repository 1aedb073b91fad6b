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

run_npm_peer_check "$bin" "$bin" jcampconverter 12 JcampPeerExport "$src/tests/formats/jcampconverter_peer_check.mjs"
