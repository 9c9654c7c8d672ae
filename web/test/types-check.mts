// Checked by tsc (tsconfig.json), never run: the declarations accept what the package does and
// refuse what it refuses.
import { generate, names, session, replay, seedOf, parseBoards, load, NorvathelError, version, nameFor, namesFor, Style, styles, constraintProblem, learn } from '../package/norvathel.js';
import type { Board, Learned, NameEntry, Seed } from '../package/norvathel.js';

const seeds: Seed[] = [7, 7n, '7', 'dragonkeep'];
const list: string[] = generate(3, { seed: seeds[0], gender: 'female', prefix: 'El', unique: true, exclude: ['th'] });
const stream = names({ minLength: 4, maxLength: 9, endsWith: 'a' });
const seed: bigint = stream.seed;
const entries: NameEntry[] = stream.takeEntries(2);
for (const name of stream) list.push(name);
const board: Board = session(1000000000, { style: styles[1] }).compose('male', 'ka');
const crisp: Style = Style.builtIn('crisp');
const mine: Style = Style.fromToml('format = 1', 'mine.toml');
const full = names({ style: crisp, full: true }).takeEntries(1)[0];
console.log(full.given, full.surname, mine.name, styles.map((style) => style.description));
const boards: Board[] = replay('start,female', { clock: 'dragonkeep' });
const parsed = parseBoards('male:ka')[0].gender;
const keyed: string[] = [nameFor('npc-1', { seed: 'my-game', gender: 'male' }), ...namesFor(['a', 'b'])];
console.log(keyed);
const other = await load({ maximumMemory: 1 << 26 });
other.generate(1);
const error = new Error() as unknown;
if (error instanceof NorvathelError) console.log(error.code === 'impossible', error.names?.length);
const why: string = constraintProblem({ maxLength: 4, prefix: 'Thorvald' }, 'tool');
console.log(why);
const learned: Learned = learn(['Kalina\tf', 'Torvan\tm'], { source: 'mine.txt', name: 'mine', allowCopies: false });
console.log(learned.style.name, learned.toml.length, learned.report);
// @ts-expect-error: allowCopies is true or false
learn('Kalina', { allowCopies: 'yes' });
console.log(list, seed, entries, board.names, boards, parsed, seedOf(1n), version);

// @ts-expect-error: a gender is male or female
generate(1, { gender: 'other' });
// @ts-expect-error: a seed is not a boolean
names({ seed: true });
// @ts-expect-error: a board composition is start, male or female
session().compose('any');
// @ts-expect-error: the stream's seed cannot be set
stream.seed = 1n;
// @ts-expect-error: a key's name cannot be unique
nameFor('npc-1', { unique: true });
// @ts-expect-error: styles are made by builtIn or fromToml
new Style();
// @ts-expect-error: the words are the library's, the tool's or the page's
constraintProblem({}, 'shell');
