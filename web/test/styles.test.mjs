// Styles and full names: the package against the tool's --style and --full.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { asLines, inLibraryWords, packageDir, runTool, seeded, toolRefusal } from './helpers.mjs';

const norvathel = await import(`${packageDir}/norvathel.js`);
const folder = mkdtempSync(join(tmpdir(), 'norvathel-styles-'));

// The README's example style file.
const murmur = `format = 1
name = "murmur"
description = "Soft and low: m, n and l around round vowels"

[given]
positions = [2, 4]
male_opening = [1, 2]
female_opening = [0, 0]
consonant = [1, 2]
cluster = [1, 5]
cluster_opening = false
max_vowel_run = 1
ending_from = 2
male_closing = "ending"
female_closing = "ending"

[letters]
vowels = "aeiou"
no_opening = []
repeatable = ["o"]
capitals = "ascii"

[tables]
consonants = ["m", "m", "n", "n", "l", "l", "w", "h"]
clusters = ["mb", "nd", "lm"]
vowels = ["o", "o", "u", "u", "a", "e"]
female_endings = ["a", "owa", "ume", "ina"]
male_endings = ["om", "un", "ul", "omo"]

[surname]
form = "head+tail"
heads = ["mor", "lun", "hom", "num"]
tails = ["well", "dun", "lom", "mor"]
`;
const murmurFile = join(folder, 'murmur.toml');
writeFileSync(murmurFile, murmur);

test('the built-in styles are the tool\'s, classic first', () => {
  const listed = runTool(['--list-styles']).toString();
  assert.equal(norvathel.styles[0].name, 'classic');
  for (const style of norvathel.styles) {
    assert.ok(listed.includes(`${style.name}`) && listed.includes(style.description), style.name);
  }
  assert.ok(norvathel.styles.length >= 6);
});

test('every style, with and without full names, prints what the tool prints', () => {
  const random = seeded(16);
  const file = norvathel.Style.fromToml(murmur, murmurFile);
  const choices = [...norvathel.styles.map((style) => [style.name, style.name]), [file, murmurFile]];
  for (let index = 0; index < 80; ++index) {
    const [style, argument] = random.pick(choices);
    const options = { seed: random.pick([1, 77, 'dragonkeep', 2n ** 60n]), style };
    const args = ['--seed', String(options.seed), '--style', argument];
    const gender = random.pick([undefined, 'male', 'female']);
    if (gender) { options.gender = gender; args.push(`--${gender}`); }
    if (random.next() < 0.5) { options.full = true; args.push('--full'); }
    if (random.next() < 0.3) { options.unique = true; args.push('--unique'); }
    if (random.next() < 0.3) { options.prefix = random.pick(['Ka', 'mor', 'Ål']); args.push('--prefix', options.prefix); }
    const count = random.int(1, 40);
    args.push('--count', String(count));
    const expected = runTool(args);
    assert.ok(asLines(norvathel.generate(count, options)).equals(expected), args.join(' '));
  }
});

test('full names come in parts as the tool\'s JSON gives them', () => {
  const entries = norvathel.names({ seed: 5, style: 'crisp', full: true, gender: 'female' }).takeEntries(25);
  const json = JSON.parse(runTool(['--seed', '5', '--style', 'crisp', '--full', '--female', '--count', '25', '--format', 'json']));
  const parts = json.boards.flatMap((board) => board.names);
  assert.deepEqual(entries.map(({ given, surname }) => ({ given, surname })), parts);
  assert.ok(entries.every((entry) => entry.name === `${entry.given} ${entry.surname}` && entry.gender === 'female'));
});

test('the window\'s boards in a style', () => {
  for (const style of norvathel.styles) {
    const boards = norvathel.replay('start,female,male:ka', { clock: 1000000000, style: style.name });
    const expected = runTool(['--clock', '1000000000', '--boards', 'start,female,male:ka', '--style', style.name]);
    assert.ok(asLines(boards.flatMap((board) => board.names)).equals(expected), style.name);
  }
});

test('a bad style is refused with the tool\'s file, line, column and reason', () => {
  const bad = [murmur.replace('positions = [2, 4]', 'positions = [2, 4'), murmur.replace(/consonants = .*\n/, ''),
    murmur.replace('"mb"', '"m1"'), 'format = 2\n'];
  bad.forEach((text, index) => {
    const file = join(folder, `bad${index}.toml`);
    writeFileSync(file, text);
    const { status, reason } = toolRefusal(['--style', file]);
    assert.equal(status, 2);
    assert.throws(() => norvathel.Style.fromToml(text, file), { message: reason });
  });
  assert.throws(() => norvathel.generate(1, { style: 'nope' }), /'nope' is no built-in style/);
});

test('keys in a style, with full names, as --keys gives them', () => {
  const keys = ['npc-0', 'npc-1', '', 'Ærin', ...Array.from({ length: 60 }, (_, index) => `row-${index}`)];
  const file = join(folder, 'keys.txt');
  writeFileSync(file, keys.map((key) => key + '\n').join(''));
  for (const [style, full, seed] of [['liquid', false, undefined], ['crisp', true, 'my-game'], ['classic', true, 7]]) {
    const args = ['--keys', file, '--style', style, ...(full ? ['--full'] : []), ...(seed === undefined ? [] : ['--seed', String(seed)])];
    assert.ok(asLines(norvathel.namesFor(keys, { style, full, seed })).equals(runTool(args)), args.join(' '));
  }
});

test('refusals up front follow the style\'s own rules, in the tool\'s words', () => {
  const file = norvathel.Style.fromToml(murmur, murmurFile);
  const cases = [
    [{ style: 'guttural', gender: 'male', endsWith: 'ia' }, ['--style', 'guttural', '--male', '--ends-with', 'ia']],
    [{ style: 'staccato', maxLength: 2 }, ['--style', 'staccato', '--max-length', '2']],
    [{ style: file, endsWith: 'q' }, ['--style', murmurFile, '--ends-with', 'q']],
    [{ style: file, gender: 'female', minLength: 30 }, ['--style', murmurFile, '--female', '--min-length', '30']],
  ];
  for (const [options, args] of cases) {
    const { status, reason } = toolRefusal([...args, '--count', '1']);
    if (status === 0) continue;  // the style allows it after all: nothing to compare
    assert.equal(status, 2, args.join(' '));
    assert.throws(() => norvathel.generate(1, options), { message: inLibraryWords(reason) }, args.join(' '));
    assert.equal(norvathel.constraintProblem(options, 'tool'), reason);
  }
});

// The styles a hostile probe made: 4,086 five-letter vowels over 16 positions (sizes that
// overflowed 32 bits), and 4,096 short vowels with endings from any position (a check that
// took minutes). The module answers as the native tool does, at once.
test('large styles get the up-front answers the tool gives', () => {
  const words = (count, longest) => {
    const found = [];
    for (let size = longest === 5 ? 5 : 1; size <= longest && found.length < count; ++size) {
      for (let k = 0; k < 26 ** size && found.length < count; ++k) {
        let word = '';
        for (let place = 0, rest = k; place < size; ++place, rest = Math.floor(rest / 26)) word = String.fromCharCode(97 + rest % 26) + word;
        found.push(word);
      }
    }
    return `[${found.map((word) => `"${word}"`).join(', ')}]`;
  };
  const longVowels = murmur.replace('positions = [2, 4]', 'positions = [1, 16]').replace('max_vowel_run = 1', 'max_vowel_run = 16')
    .replace('ending_from = 2', 'ending_from = 16').replace('consonant = [1, 2]', 'consonant = [1, 1]')
    .replace('vowels = ["o", "o", "u", "u", "a", "e"]', `vowels = ${words(4086, 5)}`);
  const manyVowels = murmur.replace('positions = [2, 4]', 'positions = [1, 5]').replace('max_vowel_run = 1', 'max_vowel_run = 4')
    .replace('ending_from = 2', 'ending_from = 0').replace('vowels = ["o", "o", "u", "u", "a", "e"]', `vowels = ${words(4096, 3)}`);
  const cases = [
    [longVowels, { gender: 'male', prefix: 'abcdefghijklmno', maxLength: 40 }, ['--male', '--prefix', 'abcdefghijklmno', '--max-length', '40']],
    [longVowels, { gender: 'male', prefix: 'abcdefghijklmno', minLength: 20 }, ['--male', '--prefix', 'abcdefghijklmno', '--min-length', '20']],
    [manyVowels, { gender: 'female', maxLength: 5 }, ['--female', '--max-length', '5']],
    [manyVowels, { gender: 'female', minLength: 40 }, ['--female', '--min-length', '40']],
    [manyVowels, { gender: 'female', endsWith: 'zzzzzzzzzzzzzzzzzzzz' }, ['--female', '--ends-with', 'zzzzzzzzzzzzzzzzzzzz']],
  ];
  let refused = 0;
  cases.forEach(([text, options, args], index) => {
    const file = join(folder, `large${index}.toml`);
    writeFileSync(file, text);
    const style = norvathel.Style.fromToml(text, file);
    const { status, reason } = toolRefusal(['--style', file, ...args, '--count', '1']);
    const problem = norvathel.constraintProblem({ style, ...options });
    if (status === 0) {
      assert.equal(problem, '', args.join(' '));
    } else {
      assert.equal(status, 2, args.join(' '));
      assert.equal(problem, inLibraryWords(reason), args.join(' '));
      ++refused;
    }
  });
  assert.equal(refused, 3);  // the minimum length and the ending no name reaches
});

// Keys nested 100,000 deep overflowed the parser's stack; the module refuses them by their place.
test('deeply nested keys are refused with their place, not a stack overflow', () => {
  for (const text of [`${'a.'.repeat(99_999)}a = 1\n`, `[${'a.'.repeat(99_999)}a]\n`, `x = ${'['.repeat(100_000)}\n`]) {
    const file = join(folder, 'deep.toml');
    writeFileSync(file, text);
    const { status, reason } = toolRefusal(['--style', file]);
    assert.equal(status, 2);
    assert.throws(() => norvathel.Style.fromToml(text, file), (error) => error instanceof norvathel.NorvathelError &&
      error.code === 'bad-argument' && error.message === reason && /deep\.toml:1:\d+: /.test(error.message));
  }
});

test('learn: the same style file, report and names as norvathel-names learn, every fault named, options checked', () => {
  const listPath = join(folder, 'examples.txt');
  const list = 'Kalina\tf\nTorvan m\nMeskel\nAdrana\tf\nBorel\tm\nSilvane\tf\nKoros\tm\nTheda\n';
  writeFileSync(listPath, list);
  const tool = (args) => runTool(['learn', ...args, listPath]).toString('utf8');
  const learned = norvathel.learn(list, { source: listPath, name: 'mine', description: 'My people' });
  assert.equal(learned.toml, tool(['--quiet', '--name', 'mine', '--description', 'My people']));
  assert.equal(learned.style.name, 'mine');
  assert.equal(learned.style.description, 'My people');
  assert.match(learned.report, new RegExp(`^${listPath}:2:7: warning: a space before the gender mark 'm'`));
  assert.match(learned.report, /\nlearned: 8 names \(3 male, 3 female, 2 either\)\nheld-out divergence: [0-9.]+ bits .*\ncopies: [0-9.]+% of 100000 composed names are examples, before the guard\ndistinct: [0-9]+ of 100000 composed names\n$/);
  const stylePath = join(folder, 'mine.toml');
  writeFileSync(stylePath, learned.toml);
  assert.deepEqual(norvathel.generate(200, { style: learned.style, seed: 'x', unique: true }),
    runTool(['--style', stylePath, '--seed', 'x', '--unique', '--count', '200']).toString('utf8').split('\n').slice(0, -1));
  assert.equal(norvathel.learn(list.split('\n').slice(0, -1), { allowCopies: true }).toml.includes('[guard]'), false);

  assert.throws(() => norvathel.learn('Kalina\tf\nTor9van\nMes\u0001kel\n', { source: 'bad.txt' }), (error) =>
    error instanceof norvathel.NorvathelError && error.code === 'bad-argument' &&
    error.message === "bad.txt:2:4: '9' is not a letter (a name is letters of any script, each with its marks)\n" +
      'bad.txt:3:4: a control character (0x01)');
  for (const [options, reason] of [[{ name: 'Not A Name' }, /^NorvathelError: name: must be 1 to 32 bytes/], [{ colour: 1 }, /unknown option 'colour'/],
    [{ allowCopies: 'yes' }, /allowCopies must be true or false/], [{ name: 7 }, /name must be a string/]])
    assert.throws(() => norvathel.learn(list, options), reason);
  assert.throws(() => norvathel.learn(42), /the examples must be a string or an array of lines/);
});

test('neutral names: every built-in style gives the tool\'s --neutral names; a style without them is refused', () => {
  for (const style of norvathel.styles) {
    assert.deepEqual(norvathel.generate(60, { style, gender: 'neutral', seed: 4, prefix: 'Ka' }),
      runTool(['--style', style.name, '--neutral', '--seed', '4', '--prefix', 'Ka', '--count', '60']).toString('utf8').split('\n').slice(0, -1), style.name);
    const entries = norvathel.names({ style, gender: 'neutral', seed: 1 }).takeEntries(3);
    assert.deepEqual(entries.map((entry) => entry.gender), ['neutral', 'neutral', 'neutral']);
  }
  const plain = norvathel.Style.fromToml(murmur, 'murmur.toml');
  assert.throws(() => norvathel.generate(1, { style: plain, gender: 'neutral' }),
    (error) => error.code === 'impossible' && /the style 'murmur' makes no neutral names/.test(error.message));
  assert.equal(norvathel.session(1).compose('neutral', 'ka').gender, 'neutral');
});
