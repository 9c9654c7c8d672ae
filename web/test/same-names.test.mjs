// The package and the native tool print byte-identical names for the same arguments: a few
// hundred vectors of seeds, words, genders, prefixes and constraints, and window replays.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { asLines, inLibraryWords, inPageWords, packageDir, runTool, seeded, tool, toolRefusal } from './helpers.mjs';

const norvathel = await import(`${packageDir}/norvathel.js`);

const seeds = [0, 1, 7, 4095, 4096, 1000000000, 2 ** 30, 2 ** 32 + 5, Number.MAX_SAFE_INTEGER,
  2n ** 63n, 2n ** 64n - 1n, '18446744073709551615', '0042', 'dragonkeep', 'npc', 'Éowyn', 'a b', 'x',
  '-1', '12x', '2024-05-session', ' 7'];
const prefixes = [undefined, '', 'ka', 'El', 'br', 'y', 'a', 'e', 'Mor', 'z7', '&rk', 'Ål', 'Жан', 'xa'.repeat(15)];
const femaleEndings = ['a', 'ia', 'elle'];
const maleEndings = ['n', 'th', 'R'];
const pieces = ['th', 'a', 'sh', 'ee', 'k', 'ж'];

// One vector: the package's options and the tool's arguments for them.
function vector(random) {
  const options = {}, args = [];
  const seed = random.pick(seeds);
  options.seed = seed;
  args.push('--seed', String(seed));
  const gender = random.pick([undefined, 'male', 'female']);
  if (gender) { options.gender = gender; args.push(`--${gender}`); }
  const prefix = random.pick(prefixes);
  if (prefix !== undefined) { options.prefix = prefix; args.push('--prefix', prefix); }
  if (random.next() < 0.25) { options.unique = true; args.push('--unique'); }
  if (random.next() < 0.2) { options.minLength = random.int(4, 8); args.push('--min-length', String(options.minLength)); }
  if (random.next() < 0.2) { options.maxLength = random.int(9, 14) + (prefix?.length ?? 0); args.push('--max-length', String(options.maxLength)); }
  if (random.next() < 0.15 && gender === 'female') { options.endsWith = random.pick(femaleEndings); args.push('--ends-with', options.endsWith); }
  if (random.next() < 0.15 && gender === 'male') { options.endsWith = random.pick(maleEndings); args.push('--ends-with', options.endsWith); }
  if (random.next() < 0.2) { options.exclude = [random.pick(pieces), random.pick(pieces)]; args.push('--exclude', options.exclude.join(',')); }
  const count = random.int(0, 60);
  args.push('--count', String(count));
  return { options, args, count };
}

// The tool's outcome for a vector: its names and whether it ran dry, or its refusal.
function compare(options, args, count) {
  const run = spawnSync(tool, args, { maxBuffer: 1 << 26 });
  const where = `norvathel-names ${args.join(' ')}`;
  if (run.status === 2) {
    const reason = run.stderr.toString().trim().replace(/^norvathel-names: /, '');
    assert.throws(() => norvathel.generate(count, options), { message: inLibraryWords(reason) }, where);
    return 'refused';
  }
  assert.ok(run.status === 0 || run.status === 3, `${where}: exit ${run.status}`);
  const stream = norvathel.names(options);
  const got = asLines(stream.take(count));
  assert.ok(got.equals(run.stdout), `${where}\n tool: ${run.stdout}\n node: ${got}`);
  assert.equal(stream.dry, run.status === 3, where);
  stream.close();
  // generate() says so where the tool does, in its words, with the names it made.
  if (run.status === 3) {
    const reason = run.stderr.toString().trim().replace(/^norvathel-names: /, '');
    assert.throws(() => norvathel.generate(count, options), (error) => error instanceof norvathel.NorvathelError &&
      error.code === 'dry' && error.message === reason && asLines(error.names).equals(run.stdout), where);
  }
  return run.status === 3 ? 'dry' : 'names';
}

test('streams: the package prints what the tool prints over 300 vectors', () => {
  const random = seeded(20260518);
  const outcomes = { names: 0, refused: 0, dry: 0 };
  for (let index = 0; index < 300; ++index) {
    const { options, args, count } = vector(random);
    ++outcomes[compare(options, args, count)];
  }
  // Most vectors print names; the few others check the refusals and a dry end.
  assert.ok(outcomes.names > 250, JSON.stringify(outcomes));
});

test('window boards: replays of --boards lists equal the tool\'s', () => {
  const random = seeded(7);
  const items = ['start', 'male', 'female', 'male:ka', 'female:El', 'female:%2Cx', 'male:%C3%85s', 'female:&rk'];
  for (let index = 0; index < 60; ++index) {
    const clock = random.pick([0, 1, 1000000000, 2 ** 30 + 3, '99999', 'dragonkeep']);
    const list = Array.from({ length: random.int(1, 4) }, () => random.pick(items)).join(',');
    const expected = runTool(['--clock', String(clock), '--boards', list]);
    const got = asLines(norvathel.replay(list, { clock }).flatMap((board) => board.names));
    assert.ok(got.equals(expected), `--clock ${clock} --boards ${list}`);
  }
});

test('a session records its compositions as a --boards list that replays it', () => {
  const session = norvathel.session(1000000000);
  const shown = [session.compose('start'), session.compose('female'), session.compose('male', 'ka'),
    session.compose('female', 'a,b%')].flatMap((board) => board.names);
  assert.equal(session.boards, 'start,female,male:ka,female:a%2Cb%25');
  assert.ok(asLines(shown).equals(runTool(['--clock', '1000000000', '--boards', session.boards])));
  assert.equal(shown[0], 'Glicia');
});

test('refusals carry the tool\'s reasons, in the library\'s words; constraint faults in all three surfaces\' words', () => {
  const cases = [
    [{ prefix: 'abc', maxLength: 2 }, ['--prefix', 'abc', '--max-length', '2']],
    [{ prefix: 'Thorvald', maxLength: 4 }, ['--prefix', 'Thorvald', '--max-length', '4']],
    [{ prefix: 'Жан', maxLength: 4 }, ['--prefix', 'Жан', '--max-length', '4']],  // letters, not bytes
    [{ minLength: 50 }, ['--min-length', '50']],
    [{ minLength: 9, maxLength: 5 }, ['--min-length', '9', '--max-length', '5']],
    [{ endsWith: '' }, ['--ends-with', '']],
    [{ exclude: ['a', ''] }, ['--exclude', 'a,']],
    [{ prefix: 'Kath', exclude: ['at'] }, ['--prefix', 'Kath', '--exclude', 'at']],
    [{ seed: '99999999999999999999' }, ['--seed', '99999999999999999999']],
    [{ seed: '' }, ['--seed', '']],
    [{ prefix: 'a'.repeat(32) }, ['--prefix', 'a'.repeat(32)]],
    [{ prefix: 'a\tb' }, ['--prefix', 'a\tb']],
    [{ endsWith: 'x\n' }, ['--ends-with', 'x\n']],
    [{ gender: 'male', endsWith: 'ia' }, ['--male', '--ends-with', 'ia']],
    [{ maxLength: 1 }, ['--max-length', '1']],
    [{ minLength: 17 }, ['--min-length', '17']],
    [{ endsWith: '1a' }, ['--ends-with', '1a']],
    [{ gender: 'female', endsWith: 'avaatha', maxLength: 7 }, ['--female', '--ends-with', 'avaatha', '--max-length', '7']],
    [{ prefix: 'ka', minLength: 40 }, ['--prefix', 'ka', '--min-length', '40']],
    [{ gender: 'female', endsWith: 'q' }, ['--female', '--ends-with', 'q']],
    [{ gender: 'female', endsWith: 'ruk' }, ['--female', '--ends-with', 'ruk']],
    [{ gender: 'male', prefix: 'Dor', endsWith: 'bbn' }, ['--male', '--prefix', 'Dor', '--ends-with', 'bbn']],
    [{ endsWith: 'thth' }, ['--ends-with', 'thth']],
  ];
  let impossible = 0;
  for (const [options, args] of cases) {
    const { status, reason } = toolRefusal([...args, '--count', '1']);
    assert.equal(status, 2, args.join(' '));
    let code;
    assert.throws(() => norvathel.generate(1, options), (error) => {
      code = error.code;
      return error instanceof norvathel.NorvathelError && error.message === inLibraryWords(reason) &&
        ['bad-argument', 'impossible'].includes(error.code);
    }, `${args.join(' ')}: ${reason}`);
    if (code !== 'impossible') continue;
    ++impossible;
    assert.equal(norvathel.constraintProblem(options, 'tool'), reason);
    assert.equal(norvathel.constraintProblem(options), inLibraryWords(reason));
    assert.equal(norvathel.constraintProblem(options, 'page'), inPageWords(reason));
  }
  assert.ok(impossible >= 10, `${impossible} constraint faults`);
  for (const list of ['start,bogus', '', 'male:%zz', 'female:%00', 'start:x', ',male']) {
    const { status, reason } = toolRefusal(['--boards', list]);
    assert.equal(status, 2);
    assert.throws(() => norvathel.replay(list, { clock: 1 }), { message: inLibraryWords(reason) });
  }
});

test('seeds: a number beyond 2^53 is refused, not rounded; bigints and digit strings are exact', () => {
  assert.throws(() => norvathel.generate(1, { seed: 2 ** 53 }), norvathel.NorvathelError);
  assert.throws(() => norvathel.generate(1, { seed: 1.5 }), norvathel.NorvathelError);
  assert.throws(() => norvathel.generate(1, { seed: -1n }), norvathel.NorvathelError);
  const big = 2n ** 53n + 1n;
  assert.deepEqual(norvathel.generate(30, { seed: big }), norvathel.generate(30, { seed: String(big) }));
  assert.ok(asLines(norvathel.generate(30, { seed: big })).equals(runTool(['--seed', String(big), '--count', '30'])));
  assert.equal(norvathel.seedOf('dragonkeep'), norvathel.names({ seed: 'dragonkeep' }).seed);
  const drawn = norvathel.names();
  assert.deepEqual(drawn.take(20), norvathel.generate(20, { seed: drawn.seed }));
});

test('without Web Crypto as a global (Node 18), seeds are drawn from node:crypto', () => {
  const script = `Object.defineProperty(globalThis, 'crypto', { value: undefined, configurable: true });
    const n = await import(${JSON.stringify(`${packageDir}/norvathel.js`)});
    const a = n.names(), b = n.names();
    console.log(String(a.seed !== b.seed), JSON.stringify(a.take(3)) === JSON.stringify(n.generate(3, { seed: a.seed })));`;
  const run = spawnSync(process.execPath, ['--input-type=module', '-e', script]);
  assert.equal(run.stdout.toString().trim(), 'true true', run.stderr.toString());
});

test('keys: a name per key, as --keys gives them, with and without a project seed', () => {
  const random = seeded(99);
  const keys = ['npc-0', 'npc-1', '', 'Ærin', 'a b', '0', '-', 'x'.repeat(200),
    ...Array.from({ length: 300 }, (_, index) => `row-${index * 7919}`)];
  const file = join(mkdtempSync(join(tmpdir(), 'norvathel-keys-')), 'keys.txt');
  writeFileSync(file, keys.map((key) => key + '\n').join(''));
  for (let index = 0; index < 12; ++index) {
    const options = {}, args = ['--keys', file];
    if (index % 2) { options.seed = random.pick(seeds); args.push('--seed', String(options.seed)); }
    const gender = random.pick([undefined, 'male', 'female']);
    if (gender) { options.gender = gender; args.push(`--${gender}`); }
    if (index % 3 === 0) { options.prefix = random.pick(['ka', 'El', 'Mor']); args.push('--prefix', options.prefix); }
    if (index % 4 === 1) { options.maxLength = 9; args.push('--max-length', '9'); }
    const expected = runTool(args);
    assert.ok(asLines(norvathel.namesFor(keys, options)).equals(expected), args.join(' '));
  }
  assert.equal(norvathel.nameFor('npc-1', { seed: 5 }), norvathel.namesFor(['x', 'npc-1'], { seed: 5 })[1]);
  assert.throws(() => norvathel.nameFor('npc-1', { unique: true }), {
    message: inLibraryWords(toolRefusal(['--keys', file, '--unique']).reason) });
});
