// What the peer checks share: the peer's ordinates, put in our order (the
// highest wavenumber first), compared one by one with our TransY.
//   compareOrdinates(source, x, y, transY, tolerance, fail)
// returns the largest difference, or null after telling fail() why the
// two disagree.
export function compareOrdinates(source, x, y, transY, tolerance, fail) {
  const ours = x[0] < x[x.length - 1] ? [...y].reverse() : y;
  if (ours.length !== transY.length) {
    fail(`${source}: ${ours.length} ordinates read by the peer, ${transY.length} by us`);
    return null;
  }
  let worst = 0;
  for (let i = 0; i < ours.length; i += 1) {
    const d = Math.abs(ours[i] - transY[i]);
    if (d > worst) worst = d;
    if (!(d <= tolerance)) {
      fail(`${source}: point ${i}: peer ${ours[i]}, TransY ${transY[i]}`);
      return null;
    }
  }
  console.log(`${source}: ${ours.length} points, largest difference ${worst.toExponential(3)}`);
  return worst;
}
