// Running out of memory is a thrown NorvathelError, never a trap that ends the program, and the
// composer goes on working once memory is given back. The memory is limited by load().
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { packageDir, seeded } from './helpers.mjs';

const norvathel = await import(`${packageDir}/norvathel.js`);
const Limit = 40 << 20;
const noMemory = (error) => error instanceof norvathel.NorvathelError && error.code === 'no-memory';

test('a unique stream that outgrows the memory limit throws, and the instance recovers', async () => {
  const limited = await norvathel.load({ maximumMemory: Limit });
  const stream = limited.names({ seed: 1, unique: true });
  let names = 0;
  assert.throws(() => { for (;;) names += stream.take(50000).length; }, noMemory);
  assert.ok(names > 100000, `${names} names before memory ran out`);
  stream.close();
  assert.deepEqual(limited.generate(40, { seed: 5, unique: true }), norvathel.generate(40, { seed: 5, unique: true }));
});

// Many long, distinct pieces: the C++ side's copies and matcher need more than the reserve
// within one call, so an allocation traps or is refused up front, depending on the library's
// sizes. Either way the caller sees the Error, and the instance answers the next call.
test('one call that needs more than the limit throws, and the next call works', async () => {
  const limited = await norvathel.load({ maximumMemory: Limit });
  const older = limited.names({ seed: 9 });
  const random = seeded(3);
  const letters = 'abcdefghijklmnopqrstuvwxyz';
  const pieces = Array.from({ length: 250000 }, () =>
    Array.from({ length: 40 }, () => letters[Math.floor(random.next() * 26)]).join(''));
  assert.throws(() => limited.generate(1, { exclude: pieces }), noMemory);
  assert.deepEqual(limited.generate(30, { seed: 'after' }), norvathel.generate(30, { seed: 'after' }));
  // An object made before keeps working, or (when the module had to start again) says why.
  try {
    assert.deepEqual(older.take(5), norvathel.generate(5, { seed: 9 }));
  } catch (error) {
    assert.ok(noMemory(error), String(error));
  }
});
