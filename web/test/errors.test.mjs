// Every fault of an argument is a NorvathelError with a documented code, whether the package is
// imported or required: the same faults, tried on both entries.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { packageDir } from './helpers.mjs';

const imported = await import(`${packageDir}/norvathel.js`);
const required = createRequire(import.meta.url)(`${packageDir}/norvathel.cjs`);
const Codes = ['bad-argument', 'impossible', 'dry', 'no-memory', 'internal'];

const faults = [
  ['count -1', (n) => n.generate(-1)],
  ['count NaN', (n) => n.generate(NaN)],
  ['count Infinity', (n) => n.generate(Infinity)],
  ['count 2.5', (n) => n.generate(2.5)],
  ['take -1', (n) => n.names({ seed: 1 }).take(-1)],
  ['a huge unique count, refused before composing', (n) => n.generate(1e9, { unique: true })],
  ['a huge take', (n) => n.names({ seed: 1 }).takeEntries(2 ** 40)],
  ['exclude as a string', (n) => n.generate(1, { exclude: 'th' })],
  ['a misspelt option', (n) => n.generate(1, { maxLenght: 4 }), /unknown option 'maxLenght': the options are seed, gender, .*maxLength/],
  ['a misspelt key option', (n) => n.nameFor('a', { sed: 1 }), /unknown option 'sed'/],
  ['a misspelt session option', (n) => n.session(1, { stlye: 'crisp' }), /unknown option 'stlye': the options are style/],
  ['options not an object', (n) => n.generate(1, 'female')],
  ['seed NaN', (n) => n.generate(1, { seed: NaN })],
  ['seed Infinity', (n) => n.generate(1, { seed: Infinity })],
  ['seed -1, a number', (n) => n.generate(1, { seed: -1 }), /as a string \('-1', as the tool reads it\)/],
  ['seed true', (n) => n.generate(1, { seed: true })],
  ['seed a lone high surrogate', (n) => n.generate(1, { seed: '\uD800' }), /seed '\\uD800' holds a lone surrogate/],
  ['seed a lone low surrogate', (n) => n.seedOf('a\uDFFF')],
  ['prefix a lone surrogate', (n) => n.generate(1, { prefix: 'K\uD83D' })],
  ['a key with a lone surrogate', (n) => n.namesFor(['ok', '\uDC00']), /keys\[1\]/],
  ['a board prefix with a lone surrogate', (n) => n.session(1).compose('female', '\uD800')],
  ['keys not an array', (n) => n.namesFor('npc-1')],
  ['a key not a string', (n) => n.namesFor([1])],
  ['style of the wrong type', (n) => n.generate(1, { style: 5 })],
  ['an unknown composition', (n) => n.session(1).compose('any')],
  ['minLength NaN', (n) => n.generate(1, { minLength: NaN })],
  ['clock Infinity', (n) => n.session(Infinity)],
  ['constraintProblem with unknown words', (n) => n.constraintProblem({}, 'shell')],
];

test('every argument fault is a NorvathelError with a documented code, imported or required', () => {
  for (const n of [imported, required]) {
    for (const [what, call, message] of faults) {
      assert.throws(call.bind(null, n), (error) => error instanceof n.NorvathelError && Codes.includes(error.code) &&
        (!message || message.test(error.message)), what);
    }
  }
  // Text that is well formed goes through, U+FFFD included: it is not what a lone surrogate was made into.
  assert.notDeepEqual(imported.generate(5, { seed: '\uFFFD' }), imported.generate(5, { seed: 'x' }));
  assert.equal(imported.namesFor(['\uD83D\uDE00']).length, 1);
});

test('load() refuses a memory cap below its need and one that is no number, as a NorvathelError', async () => {
  for (const n of [imported, required]) {
    for (const maximumMemory of [0, 1 << 20, 16 << 20, NaN, Infinity, -1, '64MB']) {
      await assert.rejects(n.load({ maximumMemory }), (error) => error instanceof n.NorvathelError &&
        error.code === 'bad-argument' && /maximumMemory/.test(error.message), String(maximumMemory));
    }
    await assert.rejects(n.load({ maximum: 1 }), /unknown option 'maximum'/);
    // The least it takes works: streams, a style, full names and keys.
    const least = await n.load({ maximumMemory: 24 << 20 });
    assert.deepEqual(least.generate(200, { seed: 3, style: 'crisp', full: true }), n.generate(200, { seed: 3, style: 'crisp', full: true }));
    assert.deepEqual(least.namesFor(['a', 'b']), n.namesFor(['a', 'b']));
  }
});

test('generate() runs dry with a NorvathelError dry that holds the names made, as nameFor does', () => {
  for (const n of [imported, required]) {
    const options = { style: 'sibilant', gender: 'female', endsWith: 'isha', exclude: ['sh'] };
    assert.throws(() => n.generate(5, options), (error) => error instanceof n.NorvathelError && error.code === 'dry' &&
      Array.isArray(error.names) && error.names.length === 0 && /^only 0 of 5 names meet the constraints/.test(error.message));
    assert.throws(() => n.nameFor('a', options), (error) => error.code === 'dry' && error.names.length === 0);
    const few = { unique: true, maxLength: 3, seed: 1 };
    assert.throws(() => n.generate(5000, few), (error) => error.code === 'dry' && error.names.length > 100 &&
      new Set(error.names).size === error.names.length &&
      error.message.startsWith(`only ${error.names.length} of 5000 names`));
  }
});
