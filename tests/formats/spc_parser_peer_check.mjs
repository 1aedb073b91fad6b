// Reads real SPC files with spc-parser and compares every ordinate with our
// import of them.
//   node spc_parser_peer_check.mjs PEER_DIR EXPORT_DIR
// PEER_DIR holds node_modules/spc-parser. For every NAME.real in EXPORT_DIR
// (the file's path, then TransY from the highest wavenumber down) the peer
// reads the file itself; its first spectrum's y values get the import's
// conversion. Exit 0 when all agree.
import { readFileSync, readdirSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { compareOrdinates } from './peer_compare.mjs';

const [peerDir, exportDir] = process.argv.slice(2);
const require = createRequire(join(peerDir, 'package.json'));
const { parse } = await import(pathToFileURL(require.resolve('spc-parser')).href);

// TransY is a float: 1e-6 is far above its rounding near 1.
const tolerance = 1e-6;

// The import's conversion by y type: absorbance A becomes 10^-A, percent is
// divided by 100; transmission and arbitrary y are scaled by powers of ten
// until their largest value lies above 0.1 and below 2.
function asTransmittance(y, yType) {
  if (/absorb/i.test(yType)) return y.map((v) => 10 ** -v);
  if (/percent/i.test(yType)) return y.map((v) => v / 100);
  let f = 1;
  while (Math.max(0, ...y.map((v) => v / f)) >= 2 && f < 10000) f *= 10;
  const down = y.map((v) => (f > 1 ? v / f : v));
  const m = Math.max(0, ...down);
  let g = 1;
  while (g * m <= 0.1 && g < 10000) g *= 10;
  return down.map((v) => (g > 1 ? v * g : v));
}

let failures = 0;
let checked = 0;
function fail(message) {
  console.log(`FAIL: ${message}`);
  failures += 1;
}

const reals = readdirSync(exportDir).filter((f) => f.endsWith('.real'));
if (reals.length === 0) fail(`no spectra written to ${exportDir}`);
for (const real of reals) {
  const lines = readFileSync(join(exportDir, real), 'latin1').trim().split('\n');
  const source = lines[0];
  const transY = lines.slice(1).map(Number);
  let result;
  try {
    result = parse(readFileSync(source));
  } catch (e) {
    fail(`${source}: spc-parser threw ${e}`);
    continue;
  }
  const variables = result.spectra?.[0]?.variables;
  if (!variables) {
    fail(`${source}: no spectrum`);
    continue;
  }
  const x = Array.from(variables.x.data);
  const y = asTransmittance(Array.from(variables.y.data), String(result.meta.yUnitsType ?? ''));
  if (compareOrdinates(source, x, y, transY, tolerance, fail) === null) continue;
  checked += 1;
}

console.log(`${checked} files read by spc-parser, ${failures} failures`);
process.exit(failures === 0 && checked > 0 ? 0 : 1);
