// What the tests share: the built package, the native tool, a small seeded generator.
import { execFileSync, spawnSync } from 'node:child_process';
import { existsSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

export const root = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
export const packageDir = join(root, 'build/web/package');
export const pageDir = join(root, 'build/web/page');

// The native tool the names must equal: NORVATHEL_NAMES, else a release or a debug build.
export const tool = [process.env.NORVATHEL_NAMES, join(root, 'build/release/cli/norvathel-names'),
  join(root, 'build/native/cli/norvathel-names')].find((file) => file && existsSync(file));
if (!tool) throw new Error('no native norvathel-names: build the release or native preset first');

/** The tool's stdout bytes for these arguments; throws with its stderr when it fails. */
export function runTool(args) {
  return execFileSync(tool, args, { maxBuffer: 1 << 26 });
}

/** The tool's exit code and its one-line reason (without the "norvathel-names: " head). */
export function toolRefusal(args) {
  const run = spawnSync(tool, args);
  return { status: run.status, reason: run.stderr.toString().trim().replace(/^norvathel-names: /, '') };
}

/** Names as the tool prints them: one a line, '\n' after each, UTF-8. */
export const asLines = (names) => Buffer.from(names.map((name) => name + '\n').join(''), 'utf8');

/** A small deterministic generator, so that a failing vector can be found again. */
export function seeded(seed) {
  let state = seed >>> 0;
  const next = () => {
    state = (state + 0x6d2b79f5) >>> 0;
    let value = state;
    value = Math.imul(value ^ (value >>> 15), value | 1);
    value ^= value + Math.imul(value ^ (value >>> 7), value | 61);
    return ((value ^ (value >>> 14)) >>> 0) / 4294967296;
  };
  return { next, pick: (list) => list[Math.floor(next() * list.length)], int: (lo, hi) => lo + Math.floor(next() * (hi - lo + 1)) };
}

// The tool's option spellings and what the library and the page call the same things: a
// message of either is the tool's with these words in place, nothing else (cli/fault_words.cpp
// words all three).
const libraryWords = [['(see --list-styles)', '(see styles)'], ['--min-length', 'minLength'], ['--max-length', 'maxLength'],
  ['--ends-with', 'endsWith'], ['--exclude', 'exclude'], ['--prefix', 'prefix'], ['--seed', 'seed'], ['--clock', 'clock'],
  ['--style', 'style'], ['--boards', 'the board list'], ['--keys', 'keys'], ['--unique', 'unique']];
const pageWords = [['--min-length', 'Shortest'], ['--max-length', 'Longest'], ['--ends-with', 'Ending'], ['--exclude', 'Leave out']];
const reword = (words) => (message) => words.reduce((text, [tool, other]) => text.split(tool).join(other), message);
/** A tool's message as the library words it. */
export const inLibraryWords = reword(libraryWords);
/** A tool's constraint message as the page words it. */
export const inPageWords = reword(pageWords);
