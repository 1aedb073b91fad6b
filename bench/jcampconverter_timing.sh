#!/usr/bin/env bash
# Times the JCAMP-DX import against jcampconverter (node) on the same files:
# the 16000-point DIFDUP and FIX files that bench/jcamp_bench writes. Prints
# the median time of each reader per file and the ratio.
#   bash bench/jcampconverter_timing.sh [BUILD_DIR]     (default: build)
# jcampconverter is installed into BUILD_DIR/npm-peer when missing (the same
# folder the peer test uses); it is a measuring peer only.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "${1:-$src/build}" && pwd)
peer="$bin/npm-peer"

if [ ! -x "$bin/jcamp_bench" ]; then
  echo "$bin/jcamp_bench is missing: build first" >&2
  exit 1
fi
if [ ! -f "$peer/node_modules/jcampconverter/package.json" ]; then
  mkdir -p "$peer"
  [ -f "$peer/package.json" ] || echo '{"name": "tesvar-npm-peer", "private": true}' >"$peer/package.json"
  (cd "$peer" && npm install --no-audit --no-fund --loglevel=error jcampconverter@12) >&2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Our side: the import benchmarks, which leave their files in $work.
TESVAR_JCAMP_BENCH_DIR="$work" "$bin/jcamp_bench" --benchmark_filter='Import' \
  --benchmark_out="$work/tesvar.json" --benchmark_out_format=json >/dev/null

# The peer: read and convert each file as our import reads and converts it,
# 200 warm-up runs (V8 needs about that many to settle on its optimised code),
# then the median of 100.
node --input-type=module - "$peer" "$work" <<'NODE'
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

const [peerDir, work] = process.argv.slice(2);
const require = createRequire(join(peerDir, 'package.json'));
const { convert } = await import(pathToFileURL(require.resolve('jcampconverter')).href);

const ours = JSON.parse(readFileSync(join(work, 'tesvar.json'), 'utf8'));
const oursMedian = (name) => {
  const run = ours.benchmarks.find(
    (b) => b.run_name.split('/')[0] === name && b.aggregate_name === 'median',
  );
  if (!run || run.time_unit !== 'us') throw new Error(`no median for ${name}`);
  return run.real_time;
};

const median = (values) => {
  const v = [...values].sort((a, b) => a - b);
  const m = v.length >> 1;
  return v.length % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
};

const cases = [
  ['full16000_difdup.jdx', 'BM_ImportDifDup16000'],
  ['full16000_fix.jdx', 'BM_ImportFix16000'],
];
console.log('file                    tesvar (us)  jcampconverter (us)  ratio');
let worst = Infinity;
for (const [file, bench] of cases) {
  const path = join(work, file);
  const once = () => convert(readFileSync(path, 'latin1')).flatten[0].spectra[0].data.y.length;
  if (once() !== 16000) throw new Error(`jcampconverter did not read 16000 points of ${file}`);
  for (let i = 0; i < 200; i += 1) once();
  const times = [];
  for (let i = 0; i < 100; i += 1) {
    const t0 = process.hrtime.bigint();
    once();
    times.push(Number(process.hrtime.bigint() - t0) / 1000);
  }
  const peer = median(times);
  const mine = oursMedian(bench);
  const ratio = peer / mine;
  worst = Math.min(worst, ratio);
  console.log(
    `${file.padEnd(22)} ${mine.toFixed(0).padStart(12)} ${peer.toFixed(0).padStart(20)} ${ratio.toFixed(1).padStart(6)}x`,
  );
}
console.log(`smallest ratio ${worst.toFixed(1)}x (goal: at least 20x)`);
NODE
