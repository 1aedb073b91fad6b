#!/usr/bin/env bash
# Times the JCAMP-DX import against jcampconverter (node) on the same files:
# the 16000-point DIFDUP and FIX files that bench/jcamp_bench writes. Prints
# the median time of each reader per file and the ratio, for each of ROUNDS
# rounds (default 3) and the median over the rounds: both readers' times
# drift on a shared machine, so one round alone says little.
#   [ROUNDS=N] bash bench/jcampconverter_timing.sh [BUILD_DIR]   (default: build)
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

# One round: our medians, then the peer's on the same files, one line per file:
# "file ours peer ratio".
round() {
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
  console.log(`${file} ${mine.toFixed(1)} ${peer.toFixed(1)} ${(peer / mine).toFixed(2)}`);
}
NODE
}

rounds=${ROUNDS:-3}
for r in $(seq "$rounds"); do round; done >"$work/rounds.txt"
# Per file: each round, then the medians over the rounds.
awk -v rounds="$rounds" '
  function median(list,    n, v, i, j, t) {
    n = split(list, v, " ")
    for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j - 1] + 0 > v[j] + 0; j--) {
      t = v[j]; v[j] = v[j - 1]; v[j - 1] = t
    }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
  }
  { mine[$1] = mine[$1] " " $2; peer[$1] = peer[$1] " " $3; ratio[$1] = ratio[$1] " " $4
    if (!($1 in seen)) { seen[$1] = 1; order[++files] = $1 } }
  END {
    printf "%-22s %12s %20s %7s\n", "file", "tesvar (us)", "jcampconverter (us)", "ratio"
    worst = 1e9
    for (f = 1; f <= files; f++) {
      name = order[f]
      n = split(ratio[name], rs, " "); split(mine[name], ms, " "); split(peer[name], ps, " ")
      for (i = 1; i <= n; i++) printf "%-22s %12.0f %20.0f %6.1fx  (round %d)\n", name, ms[i], ps[i], rs[i], i
      m = median(ratio[name])
      printf "%-22s %12.0f %20.0f %6.1fx  (median of %d rounds)\n", name, median(mine[name]), median(peer[name]), m, rounds
      if (m < worst) worst = m
    }
    printf "smallest median ratio %.1fx (goal: at least 20x)\n", worst
  }' "$work/rounds.txt"
