#!/usr/bin/env bash
# Times the JCAMP-DX import against jcampconverter (node) on the same files:
# the 16000-point DIFDUP and FIX files that bench/jcamp_bench writes.
#
# This machine is shared: its speed drifts by half and more from one second
# to the next, for both readers alike, so two readers timed one after the
# other are often timed in different phases. They are therefore timed in
# pairs: node asks jcamp_import_timer for the median of 100 of our imports,
# then takes the median of 15 conversions of its own, and the ratio is taken
# within each pair (the same statistic on both sides: the median of single
# runs). Printed per file: each reader's median over the pairs, the median
# ratio and the range of the ratios; then each reader's fastest pair median
# and their ratio. A slow phase that meets one reader's half of a pair and
# not the other's moves that pair's ratio by a third and more, and now and
# then most pairs of a run; the fastest pair medians are both readers in
# the same (fast) phase.
#   [PAIRS=N] [SHOW=1] bash bench/jcampconverter_timing.sh [BUILD_DIR]
# (defaults: 30 pairs a file, BUILD_DIR build; SHOW=1 also prints the times
# of every pair, ours on one line and the peer's on the next, which shows
# how each side's speed jumps between phases). jcampconverter is installed
# into BUILD_DIR/npm-peer when missing (the same folder the peer test uses);
# it is a measuring peer only.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "${1:-$src/build}" && pwd)
peer="$bin/npm-peer"

for tool in jcamp_bench jcamp_import_timer; do
  if [ ! -x "$bin/$tool" ]; then
    echo "$bin/$tool is missing: build first" >&2
    exit 1
  fi
done
if [ ! -f "$peer/node_modules/jcampconverter/package.json" ]; then
  mkdir -p "$peer"
  [ -f "$peer/package.json" ] || echo '{"name": "tesvar-npm-peer", "private": true}' >"$peer/package.json"
  (cd "$peer" && npm install --no-audit --no-fund --loglevel=error jcampconverter@12) >&2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The files: the import benchmarks write them, here run briefly.
TESVAR_JCAMP_BENCH_DIR="$work" "$bin/jcamp_bench" --benchmark_filter='Import' \
  --benchmark_repetitions=1 --benchmark_min_time=0.01 >/dev/null

node --input-type=module - "$peer" "$work" "$bin/jcamp_import_timer" "${PAIRS:-30}" <<'NODE'
import { spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { createInterface } from 'node:readline';
import { readFileSync } from 'node:fs';
import { pathToFileURL } from 'node:url';

const [peerDir, work, timerPath, pairsText] = process.argv.slice(2);
const pairs = Number(pairsText);
const require = createRequire(join(peerDir, 'package.json'));
const { convert } = await import(pathToFileURL(require.resolve('jcampconverter')).href);

const timer = spawn(timerPath, [], { stdio: ['pipe', 'pipe', 'inherit'] });
const answers = createInterface({ input: timer.stdout })[Symbol.asyncIterator]();
// The median of count of our imports of path, in microseconds.
const ours = async (count, path) => {
  timer.stdin.write(`${count} ${path}\n`);
  const { value, done } = await answers.next();
  if (done || !(Number(value) > 0)) throw new Error(`our import of ${path} failed`);
  return Number(value);
};

const median = (values) => {
  const v = [...values].sort((a, b) => a - b);
  const m = v.length >> 1;
  return v.length % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
};

const pad = (text, width) => String(text).padStart(width);
console.log(`${'file'.padEnd(22)}${pad('tesvar (us)', 13)}${pad('jcampconverter (us)', 21)}` +
            `${pad('ratio', 8)}   ratios (lowest-highest)`);
let worst = Infinity;
for (const file of ['full16000_difdup.jdx', 'full16000_fix.jdx']) {
  const path = join(work, file);
  // Read and convert as our import reads and converts.
  const once = () => convert(readFileSync(path, 'latin1')).flatten[0].spectra[0].data.y.length;
  if (once() !== 16000) throw new Error(`jcampconverter did not read 16000 points of ${file}`);
  // V8 needs about 200 runs to settle on its optimised code.
  for (let i = 0; i < 200; i += 1) once();
  await ours(200, path);
  const mine = [], theirs = [], ratios = [];
  for (let p = 0; p < pairs; p += 1) {
    const a = await ours(100, path);
    const times = [];
    for (let i = 0; i < 15; i += 1) {
      const t0 = process.hrtime.bigint();
      once();
      times.push(Number(process.hrtime.bigint() - t0) / 1000);
    }
    const b = median(times);
    mine.push(a);
    theirs.push(b);
    ratios.push(b / a);
  }
  const ratio = median(ratios);
  worst = Math.min(worst, ratio);
  console.log(`${file.padEnd(22)}${pad(median(mine).toFixed(0), 13)}${pad(median(theirs).toFixed(0), 21)}` +
              `${pad(ratio.toFixed(1) + 'x', 8)}   ${Math.min(...ratios).toFixed(1)}x-` +
              `${Math.max(...ratios).toFixed(1)}x over ${pairs} pairs`);
  // Each side at its fastest (the lowest of its pair medians): the ratio
  // of the two readers' own speeds, whatever phase either met.
  const fastMine = Math.min(...mine), fastTheirs = Math.min(...theirs);
  console.log(`${'  fastest pairs'.padEnd(22)}${pad(fastMine.toFixed(0), 13)}${pad(fastTheirs.toFixed(0), 21)}` +
              `${pad((fastTheirs / fastMine).toFixed(1) + 'x', 8)}`);
  if (process.env.SHOW) {
    console.log(`  ours:  ${mine.map((v) => v.toFixed(0)).join(' ')}`);
    console.log(`  peer:  ${theirs.map((v) => v.toFixed(0)).join(' ')}`);
  }
}
console.log(`smallest median ratio ${worst.toFixed(1)}x (goal: at least 20x)`);
timer.stdin.end();
NODE
