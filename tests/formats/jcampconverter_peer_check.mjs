// Reads our JCAMP-DX exports with jcampconverter and compares them with the
// spectra they were written from; and reads real files of other programs
// with it and compares them with our import of them (NAME.real).
//   node jcampconverter_peer_check.mjs PEER_DIR EXPORT_DIR
// PEER_DIR holds node_modules/jcampconverter. For every NAME.expected in
// EXPORT_DIR (point count, FIRSTX and LASTX as written, then one TransY per
// line) it reads NAME_fix.jdx and NAME_difdup.jdx. Exit 0 when all agree.
import { readFileSync, readdirSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { compareOrdinates } from './peer_compare.mjs';

const [peerDir, exportDir] = process.argv.slice(2);
const require = createRequire(join(peerDir, 'package.json'));
const { convert } = await import(pathToFileURL(require.resolve('jcampconverter')).href);

// Ordinates are written as round(TransY x 100000): half a unit of the fifth
// decimal is the largest honest difference; 1e-12 covers binary noise of the
// peer's multiplication by YFACTOR.
const yTolerance = 0.000005 + 1e-12;

let failures = 0;
let checked = 0;
function fail(message) {
  console.log(`FAIL: ${message}`);
  failures += 1;
}

const names = readdirSync(exportDir)
  .filter((f) => f.endsWith('.expected'))
  .map((f) => f.slice(0, -'.expected'.length));
if (names.length === 0) fail(`no exported spectra in ${exportDir}`);

for (const name of names) {
  const lines = readFileSync(join(exportDir, `${name}.expected`), 'latin1').trim().split('\n');
  const points = Number(lines[0]);
  const firstX = Number(lines[1]);
  const lastX = Number(lines[2]);
  const transY = lines.slice(3).map(Number);
  for (const form of ['fix', 'difdup']) {
    const file = `${name}_${form}.jdx`;
    const problems = [];
    const note = (level) => (obj, msg) => problems.push(`${level}: ${msg ?? JSON.stringify(obj)}`);
    const logger = {
      trace() {},
      debug() {},
      info() {},
      warn: note('warn'),
      error: note('error'),
      fatal: note('fatal'),
      child() {
        return logger;
      },
    };
    let spectrum;
    try {
      const result = convert(readFileSync(join(exportDir, file), 'latin1'), { logger });
      spectrum = result.flatten[0]?.spectra?.[0];
    } catch (e) {
      fail(`${file}: jcampconverter threw ${e}`);
      continue;
    }
    // Our DIFDUP files end with their last DIF line and no line that repeats
    // the last ordinate once more (a two-point spectrum is one data line);
    // jcampconverter notes that and still reads every point. Any other
    // remark counts as a failure.
    const accepted = (p) => p.includes('The last value is a difference, it should be repeated');
    const notes = problems.filter(accepted);
    const others = problems.filter((p) => !accepted(p));
    if (notes.length > 0) console.log(`${file}: note from jcampconverter: ${notes.join('; ')}`);
    if (others.length > 0) fail(`${file}: jcampconverter reported ${others.join('; ')}`);
    if (!spectrum) {
      fail(`${file}: no spectrum`);
      continue;
    }
    const { x, y } = spectrum.data;
    if (y.length !== points || transY.length !== points) {
      fail(`${file}: ${y.length} ordinates read, ${points} written`);
      continue;
    }
    if (Math.abs(x[0] - firstX) > 1e-9 || Math.abs(x[points - 1] - lastX) > 1e-9) {
      fail(`${file}: X from ${x[0]} to ${x[points - 1]}, written ${firstX} to ${lastX}`);
    }
    let worst = 0;
    for (let i = 0; i < points; i += 1) {
      const d = Math.abs(y[i] - transY[i]);
      if (d > worst) worst = d;
      if (!(d <= yTolerance)) {
        fail(`${file}: point ${i}: read ${y[i]}, TransY ${transY[i]}`);
        break;
      }
    }
    checked += 1;
    console.log(`${file}: ${points} points, largest difference ${worst.toExponential(3)}`);
  }
}

// Real files written by other programs, as our import read them
// (NAME.real: the file's path, then TransY from the highest wavenumber
// down). jcampconverter reads each file itself; its y values (YFACTOR
// applied) get the import's conversion: absorbance A becomes 10^-A, then
// the whole curve is scaled by powers of ten until its largest value lies
// above 0.1 and below 2 (percent data divided by 100).
const realTolerance = 1e-6;
function asTransmittance(y, yUnits) {
  const t = /ABSORB/i.test(yUnits) ? y.map((v) => 10 ** -v) : y.slice();
  let f = 1;
  while (Math.max(0, ...t.map((v) => v / f)) >= 2 && f < 10000) f *= 10;
  const down = t.map((v) => (f > 1 ? v / f : v));
  const m = Math.max(0, ...down);
  let g = 1;
  while (g * m <= 0.1 && g < 10000) g *= 10;
  return down.map((v) => (g > 1 ? v * g : v));
}
const reals = readdirSync(exportDir).filter((f) => f.endsWith('.real'));
for (const real of reals) {
  const lines = readFileSync(join(exportDir, real), 'latin1').trim().split('\n');
  const source = lines[0];
  const transY = lines.slice(1).map(Number);
  let spectrum;
  try {
    spectrum = convert(readFileSync(source, 'latin1')).flatten[0]?.spectra?.[0];
  } catch (e) {
    fail(`${source}: jcampconverter threw ${e}`);
    continue;
  }
  if (!spectrum) {
    fail(`${source}: no spectrum`);
    continue;
  }
  const { x } = spectrum.data;
  const y = asTransmittance(Array.from(spectrum.data.y), spectrum.yUnits ?? '');
  if (compareOrdinates(source, x, y, transY, realTolerance, fail) === null) continue;
  checked += 1;
}

console.log(`${checked} files read by jcampconverter, ${failures} failures`);
process.exit(failures === 0 && checked > 0 ? 0 : 1);
