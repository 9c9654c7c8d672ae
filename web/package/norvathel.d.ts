// Types of the norvathel package (norvathel.js).

/** The package's version, the same as the norvathel-names tool it matches. */
export const version: string;

/**
 * A seed: a safe integer (0 to 2^53 - 1; a larger number is refused, never rounded), a bigint
 * (0 to 2^64 - 1), or a string: digits only is that number, any other text is a word (its
 * 64-bit FNV-1a hash), as the tool reads --seed.
 */
export type Seed = number | bigint | string;

/** 'neutral': names of no gender, by the style's own rules (never drawn). */
export type Gender = 'male' | 'female' | 'neutral';

/** What every name must be; the names are those composed without them, less the failing ones. */
export interface Constraints {
  /** No name twice in the stream. */
  unique?: boolean;
  /** Letters (code points), prefix included, 1 to 45. */
  minLength?: number;
  maxLength?: number;
  /** The name ends with this text, letters in either case (Unicode's simple case folding). */
  endsWith?: string;
  /** Pieces no name may contain, letters in either case. */
  exclude?: readonly string[];
}

/** A style: the voice names are composed in. */
export class Style {
  private constructor();
  /** The built-in style of that name (classic, or one of `styles`). */
  static builtIn(name: string): Style;
  /** A style from a style file's TOML text; source names it in error messages. */
  static fromToml(text: string, source?: string): Style;
  readonly name: string;
  readonly description: string;
}

/** The built-in styles, classic first. */
export const styles: readonly Style[];

export interface NameOptions extends Constraints {
  /** A Style or a built-in style's name; default classic. */
  style?: Style | string;
  /** "Given Surname": the same given names as without, each with a surname of the style. */
  full?: boolean;
  /** Default: 64 random bits (read it back from NameStream.seed). */
  seed?: Seed;
  /** Default: each board's gender drawn from the generator, as the program's first board. */
  gender?: Gender;
  /** Every name begins with it, its first letter capitalised (a-z only). */
  prefix?: string;
}

export interface NameEntry {
  name: string;
  gender: Gender;
  /** For full names: the given name and the surname (name is "given surname"). */
  given?: string;
  surname?: string;
}

/**
 * bad-argument: an argument the package cannot take (a wrong type, an unknown option, a number
 * out of range, a lone surrogate in a text); impossible: constraints no name can meet, seen
 * before composing; dry: the constraints left fewer names than asked for (a million names in a
 * row failed them); no-memory: the instance ran out of memory.
 */
export type ErrorCode = 'bad-argument' | 'impossible' | 'dry' | 'no-memory' | 'internal';

/** Every failure: the tool's reason, with the options named as you wrote them, and a code. */
export class NorvathelError extends Error {
  readonly code: ErrorCode;
  /** For code dry: the names made before the constraints ran dry. */
  readonly names?: string[];
}

/** Names one after another, as `norvathel-names --count N` prints them with the same options. */
export class NameStream implements IterableIterator<string> {
  private constructor();
  /** The seed in use: the one given, or the one drawn when none was. */
  readonly seed: bigint;
  /** True once the constraints have run dry (a million names in a row failed them). */
  readonly dry: boolean;
  /** The next count names (fewer only when the stream runs dry), composed in batches; count at most 10 000 000. */
  take(count: number): string[];
  takeEntries(count: number): NameEntry[];
  next(): IteratorResult<string, undefined>;
  [Symbol.iterator](): NameStream;
  /** Frees the stream's memory now instead of when it is collected. */
  close(): void;
}

export interface Board {
  gender: Gender;
  prefix: string;
  /** Ten names, in the program's board order (entry 0 at the top of the right column). */
  names: string[];
}

export type Composition = 'start' | Gender;

export interface SessionOptions {
  /** The style the boards are composed in; default classic. */
  style?: Style | string;
}

/** The window's boards, on one generator seeded by a clock value as at start-up. */
export class Session {
  private constructor();
  readonly clock: bigint;
  /** The compositions so far as a --boards list: "start,female,male:ka". */
  readonly boards: string;
  /** The next board of ten; 'start' draws the gender as the program's first board. */
  compose(gender?: Composition, prefix?: string): Board;
  close(): void;
}

export interface ParsedComposition {
  gender: Composition;
  prefix: string;
}

/** Options of a name for a key: a seed mixes in so that two projects name one key apart. */
export interface KeyOptions extends Omit<NameOptions, 'unique'> {
  /** Refused: a key's name must not depend on the other keys. */
  unique?: false;
}

export interface Norvathel {
  nameFor(key: string, options?: KeyOptions): string;
  namesFor(keys: readonly string[], options?: KeyOptions): string[];
  names(options?: NameOptions): NameStream;
  generate(count: number, options?: NameOptions): string[];
  session(clock?: Seed, options?: SessionOptions): Session;
  replay(list: string, options?: SessionOptions & { clock?: Seed }): Board[];
  seedOf(seed: Seed): bigint;
}

/** A stream of names. */
export function names(options?: NameOptions): NameStream;
/** count names at once (at most 10 000 000); throws NorvathelError dry, with the names made, when the constraints leave fewer. */
export function generate(count: number, options?: NameOptions): string[];
/** A window session seeded by a clock value (seconds; default: now). */
export function session(clock?: Seed, options?: SessionOptions): Session;
/** The boards of a --boards list replayed from a clock value. */
export function replay(list: string, options?: SessionOptions & { clock?: Seed }): Board[];
/** The name for a key, as `norvathel-names --keys` gives it: the same key, the same name. */
export function nameFor(key: string, options?: KeyOptions): string;
/** Names for many keys, in order. */
export function namesFor(keys: readonly string[], options?: KeyOptions): string[];
/** The 64-bit seed that a number, bigint or word stands for. */
export function seedOf(seed: Seed): bigint;
/** Reads a --boards list into its compositions. */
export function parseBoards(list: string): ParsedComposition[];
/** Why no name can meet the options ('' when some can), in the words of the library (default), the tool or the page. */
export function constraintProblem(options: NameOptions, words?: 'library' | 'tool' | 'page'): string;
export interface LearnOptions {
  /** What the examples are called in fault messages (default 'text'). */
  source?: string;
  /** The style's name (a-z, 0-9 and '-') and one-line description; default the learner's own. */
  name?: string;
  description?: string;
  /** Let the style give the examples themselves (by default its guard keeps them out). */
  allowCopies?: boolean;
}
export interface Learned {
  style: Style;
  /** The style file's text, as norvathel-names learn writes it. */
  toml: string;
  /** What learn says of it: warnings, then four lines (names, held-out divergence, copies, distinct). */
  report: string;
}
/** A style learned from example names (one a line, a tab and m, f or n optional), as norvathel-names learn learns it. */
export function learn(examples: string | readonly string[], options?: LearnOptions): Learned;
/** A separate instance with its own memory; maximumMemory in bytes, at least 24 MiB. */
export function load(options?: { maximumMemory?: number }): Promise<Norvathel>;
