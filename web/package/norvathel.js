// norvathel: the name composer of the Norvathel program, compiled to WebAssembly, for Node and
// browsers. The same inputs give the same names as the norvathel-names tool, byte for byte.
//
// The module is compiled once, when this file is loaded; everything after that is
// synchronous. In the package the WebAssembly bytes are embedded as base64 (norvathel-wasm.js),
// so the ES module works unchanged in Node, in browsers and behind bundlers (top-level await);
// the web page's norvathel-wasm.js fetches the binary file instead. tools/build.mjs makes the
// CommonJS entry (norvathel.cjs) from this file: the es-module parts become its own head, which
// compiles the module synchronously (as Node allows for any size), and the exports
// module.exports.
// <es-module>
import wasmSource from './norvathel-wasm.js';
// </es-module>

export const version = '__NORVATHEL_VERSION__';

const Ok = 0, Dry = 1, BadArgument = 2, Impossible = 3, NoMemory = 4;
const Drawn = 0, MaleCode = 1, FemaleCode = 2, NeutralCode = 3;
const NameSize = 48, FullNameSize = 92, BoardNames = 10, PrefixBytes = 31;
const MaxSeed = (1n << 64n) - 1n;
const BatchNames = 1024;
// The most names one call gathers into an array (about 40 bytes each in JavaScript): beyond,
// a caller takes them from a stream in batches, rather than filling memory until the process
// aborts.
const MaxGathered = 10_000_000;
// Where a constraint message is read (cli/fault_words.h): the tool, this library, the page.
const Surfaces = { tool: 0, library: 1, page: 2 };

const ErrorCodes = { [Dry]: 'dry', [BadArgument]: 'bad-argument', [Impossible]: 'impossible', [NoMemory]: 'no-memory' };

/**
 * Every failure of this package: the reason as the norvathel-names tool gives it, with the
 * options named as the caller wrote them, and a code: bad-argument, impossible, dry or
 * no-memory. A dry error carries the names made before the stream ran dry.
 */
export class NorvathelError extends Error {
  constructor(message, code, names) {
    super(message);
    this.name = 'NorvathelError';
    this.code = code;
    if (names !== undefined) this.names = names;
  }
}

const badArgument = (message) => new NorvathelError(message, 'bad-argument');

// A value as a message shows it: strings quoted, other values as JavaScript writes them.
function shown(value) {
  if (typeof value === 'string') return quoted(value);
  if (typeof value === 'bigint') return `${value}n`;
  if (Array.isArray(value)) return 'an array';
  return value === null ? 'null' : typeof value === 'object' ? 'an object' : String(value);
}

// The options object, with every name in it one of known: a misspelt option would otherwise
// be ignored without a word.
function readOptions(options, known) {
  if (options === undefined || options === null) return {};
  if (typeof options !== 'object' || Array.isArray(options)) throw badArgument(`the options must be an object, not ${shown(options)}`);
  for (const key of Object.keys(options))
    if (!known.includes(key)) throw badArgument(`unknown option ${quoted(key)}: the options are ${known.join(', ')}`);
  return options;
}

const NameOptions = ['seed', 'gender', 'prefix', 'unique', 'minLength', 'maxLength', 'endsWith', 'exclude', 'style', 'full'];

// A count of names to gather: a whole number, 0 to MaxGathered.
function readCount(count) {
  if (!Number.isSafeInteger(count) || count < 0)
    throw badArgument(`count ${shown(count)} is not a whole number from 0`);
  if (count > MaxGathered)
    throw badArgument(`count ${count} is more than one call gathers (${MaxGathered}): take them from names() in batches`);
  return count;
}
const outOfMemory = () => new NorvathelError('out of memory', 'no-memory');

// --- text: names are bytes; JavaScript strings are UTF-8 going in, and names come out as the
// tool's JSON reads them (UTF-8 where they are, other bytes as Latin-1) ---

const encoder = new TextEncoder();
const strictDecoder = new TextDecoder('utf-8', { fatal: true });

function decodeName(bytes) {
  try {
    return strictDecoder.decode(bytes);
  } catch {
    let text = '';
    for (const byte of bytes) text += String.fromCharCode(byte);
    return text;
  }
}

// A lone half of a UTF-16 pair has no UTF-8 form: encoding would make it U+FFFD silently, so
// that '\uD800' and '\uFFFD' would be one seed.
const loneSurrogate = /[\uD800-\uDBFF](?![\uDC00-\uDFFF])|(?<![\uD800-\uDBFF])[\uDC00-\uDFFF]/;

function toBytes(text, what) {
  if (text instanceof Uint8Array) return text;
  if (typeof text !== 'string') throw badArgument(`${what} must be a string, not ${shown(text)}`);
  if (loneSurrogate.test(text))
    throw badArgument(`${what} ${quoted(text)} holds a lone surrogate (half of a UTF-16 pair), which is no text`);
  return encoder.encode(text);
}

function quoted(text) {
  // As the tool quotes a command-line text in a message: control bytes as \xNN, cut at 60 bytes.
  const bytes = text instanceof Uint8Array ? text
    : encoder.encode(String(text).replace(new RegExp(loneSurrogate, 'g'), (half) => `\\u${half.charCodeAt(0).toString(16).toUpperCase()}`));
  const out = [];
  for (let index = 0; index < bytes.length; ++index) {
    if (index === 60) { out.push(46, 46, 46); break; }
    const byte = bytes[index];
    if (byte < 0x20 || byte === 0x7f) out.push(...encoder.encode('\\x' + byte.toString(16).toUpperCase().padStart(2, '0')));
    else out.push(byte);
  }
  return `'${decodeName(Uint8Array.from(out))}'`;
}

// One of the tool's argument readers (cli/fault_words.cpp, through wasm/web_exports.h), the
// option named as the caller wrote it: reader(option, text, ...more, message, size) is
// nonzero for a good text, else the reason is thrown in the tool's words. out, when given, is
// an 8-byte block for the reader's result, read back by read.
function readArgument(core, reader, option, bytes, { length = false, read } = {}) {
  return core.run((temporaries) => {
    const size = 256;
    const message = core.allocate(size, temporaries);
    const more = length ? [bytes.length] : read ? [core.allocate(8, temporaries)] : [];
    if (!core.x[reader](core.text(encoder.encode(option), temporaries), core.text(bytes, temporaries), ...more, message, size))
      throw badArgument(decodeName(core.readText(message, size)));
    return read ? read(core.view(), more[0]) : undefined;
  });
}

// A text that becomes part of a name: no control byte, which would break one name per line.
function refuseControlBytes(core, option, bytes) {
  readArgument(core, 'norvathel_web_check_text', option, bytes, { length: true });
}

// A prefix as the tool takes it: at most 31 bytes, no control byte (a NUL byte too, which the
// reader of NUL-terminated text would not see).
function readPrefix(core, prefix) {
  if (prefix === undefined || prefix === null) return null;
  const bytes = toBytes(prefix, 'prefix');
  if (bytes.includes(0)) refuseControlBytes(core, 'prefix', bytes);
  readArgument(core, 'norvathel_web_check_prefix', 'prefix', bytes);
  return bytes;
}

// --- the WebAssembly module ---

function base64Bytes(text) {
  const binary = atob(text);
  const bytes = new Uint8Array(binary.length);
  for (let index = 0; index < binary.length; ++index) bytes[index] = binary.charCodeAt(index);
  return bytes;
}

// <es-module>
let randomBytes = globalThis.crypto?.getRandomValues?.bind(globalThis.crypto);
if (!randomBytes && typeof process !== 'undefined' && process.versions?.node) {
  // Node 18 has Web Crypto only as a module. The name is built so bundlers leave it alone.
  const nodeCrypto = await import(['node', 'crypto'].join(':'));
  randomBytes = (array) => nodeCrypto.webcrypto.getRandomValues(array);
}
const wasmModule = await WebAssembly.compile(typeof wasmSource === 'string' ? base64Bytes(wasmSource) : wasmSource);
// </es-module>

function fillRandom(view) {
  for (let start = 0; start < view.length; start += 65536)
    randomBytes(view.subarray(start, Math.min(view.length, start + 65536)));
}

// The few system calls the C library may make. Nothing is read or written: the composer has
// no files here, and text for stderr comes only just before a trap, which is reported anyway.
function systemCalls(getMemory) {
  const NoSystem = 52;
  const calls = {};
  for (const entry of WebAssembly.Module.imports(wasmModule))
    if (entry.module === 'wasi_snapshot_preview1') calls[entry.name] = () => NoSystem;
  calls.random_get = (pointer, length) => {
    fillRandom(new Uint8Array(getMemory().buffer, pointer, length));
    return 0;
  };
  calls.fd_write = (fd, vectors, count, writtenPointer) => {
    const view = new DataView(getMemory().buffer);
    let total = 0;
    for (let index = 0; index < count; ++index) total += view.getUint32(vectors + index * 8 + 4, true);
    view.setUint32(writtenPointer, total, true);
    return 0;
  };
  // No environment and no arguments: two counts of zero.
  const none = (countPointer, sizePointer) => {
    const view = new DataView(getMemory().buffer);
    view.setUint32(countPointer, 0, true);
    view.setUint32(sizePointer, 0, true);
    return 0;
  };
  calls.environ_sizes_get = none;
  calls.args_sizes_get = none;
  calls.environ_get = calls.args_get = () => 0;
  // No files either: the C library asks for preopened folders at start-up until it hears
  // "bad file descriptor" (8).
  calls.fd_prestat_get = () => 8;
  calls.proc_exit = () => { throw new WebAssembly.RuntimeError('exit'); };
  return calls;
}

const PageBytes = 65536;
// The least memory an instance works in: the module's own 2 MiB, the 16 MiB reserve
// (wasm/memory_guard.cpp) and room for a few streams and styles.
const MinimumMemory = 24 << 20;

// One instance of the module and its memory. A trap inside a call (memory ran out beyond the
// reserve) leaves it dead: its objects then refuse every call, and the Library starts a new one.
class Core {
  constructor(maximumMemory) {
    const descriptor = { initial: 32 };
    if (maximumMemory !== undefined) descriptor.maximum = Math.max(32, Math.floor(maximumMemory / PageBytes));
    this.memory = new WebAssembly.Memory(descriptor);
    const instance = new WebAssembly.Instance(wasmModule, {
      env: { memory: this.memory },
      wasi_snapshot_preview1: systemCalls(() => this.memory),
    });
    this.x = instance.exports;
    this.dead = false;
    this.x._initialize();
  }

  bytes() { return new Uint8Array(this.memory.buffer); }
  view() { return new DataView(this.memory.buffer); }

  // Runs one piece of work that calls into the module: refused up front when the memory
  // reserve cannot be held, and a trap inside is out of memory.
  run(work) {
    if (this.dead) throw new NorvathelError('out of memory (this object was lost when memory ran out)', 'no-memory');
    if (!this.x.norvathel_web_arm()) throw outOfMemory();
    const temporaries = [];
    try {
      return work(temporaries);
    } catch (error) {
      if (error instanceof WebAssembly.RuntimeError) {
        this.dead = true;
        if (this.x.norvathel_web_ran_out()) throw outOfMemory();
        // Any other trap is a fault of the composer's own, not of the caller's memory.
        throw new NorvathelError(`internal error in the composer (WebAssembly: ${error.message}); please report it`, 'internal');
      }
      throw error;
    } finally {
      if (!this.dead) for (const block of temporaries) this.x.norvathel_web_free(block);
    }
  }

  allocate(size, temporaries) {
    const block = this.x.norvathel_web_alloc(size);
    if (block === 0) throw outOfMemory();
    if (temporaries) temporaries.push(block);
    return block;
  }

  // A NUL-terminated copy of bytes in module memory, freed after the call; 0 for null.
  text(bytes, temporaries) {
    if (bytes === null || bytes === undefined) return 0;
    const block = this.allocate(bytes.length + 1, temporaries);
    const memory = this.bytes();
    memory.set(bytes, block);
    memory[block + bytes.length] = 0;
    return block;
  }

  readText(pointer, limit) {
    const memory = this.bytes();
    let end = pointer;
    while (end < pointer + limit && memory[end] !== 0) ++end;
    return memory.slice(pointer, end);
  }

  check(result, reason) {
    if (result === Ok) return;
    if (result === NoMemory) throw outOfMemory();
    throw new NorvathelError(reason ?? this.resultText(result), ErrorCodes[result] ?? 'bad-argument');
  }

  resultText(result) {
    return decodeName(this.readText(this.x.norvathel_result_text(result), 200));
  }
}

// --- arguments, read as the tool reads its command line ---

function randomSeed() {
  const words = new Uint32Array(2);
  fillRandom(words);
  return (BigInt(words[0]) << 32n) | BigInt(words[1]);
}

// A seed's text as --seed reads it: digits only a number, any other text a word's hash.
function seedFromText(core, text, option) {
  return readArgument(core, 'norvathel_web_read_seed', option, toBytes(text, option),
    { read: (view, seed) => view.getBigUint64(seed, true) });
}

// A seed: a safe integer, a bigint, or a string; digits only is a number, anything else a word.
function readSeed(core, seed, option = 'seed') {
  if (seed === undefined || seed === null) return randomSeed();
  if (typeof seed === 'bigint') {
    // The tool's own refusal for a number too large; a negative one it cannot be given.
    if (seed > MaxSeed) seedFromText(core, String(seed), option);
    if (seed < 0n) throw badArgument(`${option} value '${seed}' is out of range (0 to ${MaxSeed})`);
    return seed;
  }
  if (typeof seed === 'number') {
    if (!Number.isSafeInteger(seed) || seed < 0)
      throw badArgument(`${option} value ${seed} is not a whole number from 0 to ${Number.MAX_SAFE_INTEGER}: ` +
        `give a larger seed as a bigint or a string of digits, and a word as a string (${quoted(String(seed))}, as the tool reads it)`);
    return BigInt(seed);
  }
  if (typeof seed === 'string') return seedFromText(core, seed, option);
  throw badArgument(`${option} must be a number, a bigint or a string, not ${shown(seed)}`);
}

function genderCode(gender) {
  if (gender === undefined || gender === null) return Drawn;
  if (gender === 'male') return MaleCode;
  if (gender === 'female') return FemaleCode;
  if (gender === 'neutral') return NeutralCode;
  throw badArgument(`unknown gender ${quoted(String(gender))}: expected male, female or neutral`);
}

const genderName = (code) => (code === MaleCode ? 'male' : code === FemaleCode ? 'female' : 'neutral');
// A gender as the module writes it: 'm', 'f' or 'n'.
const genderOfByte = (byte) => (byte === 109 ? 'male' : byte === 102 ? 'female' : 'neutral');

// A length, read as the tool reads the number written out.
function readLength(core, option, value) {
  if (value === undefined || value === null) return 0;
  if (typeof value !== 'number') throw badArgument(`${option} must be a number, not ${shown(value)}`);
  return readArgument(core, 'norvathel_web_read_length', option, encoder.encode(String(value)),
    { read: (view, length) => view.getInt32(length, true) });
}

// The constraints as C's norvathel_constraints (wasm32: four-byte fields), in module memory.
function writeConstraints(core, options, temporaries) {
  const unique = Boolean(options.unique);
  const minLength = readLength(core, 'minLength', options.minLength);
  const maxLength = readLength(core, 'maxLength', options.maxLength);
  let endsWith = 0;
  if (options.endsWith !== undefined && options.endsWith !== null) {
    const ending = toBytes(options.endsWith, 'endsWith');
    if (ending.length === 0) throw badArgument('endsWith needs a text to end with');
    refuseControlBytes(core, 'endsWith', ending);
    endsWith = core.text(ending, temporaries);
  }
  const pieces = options.exclude ?? [];
  if (!Array.isArray(pieces)) throw badArgument(`exclude must be an array of strings, not ${shown(pieces)}`);
  let list = 0;
  if (pieces.length > 0) {
    list = core.allocate(pieces.length * 4, temporaries);
    pieces.forEach((piece, index) => {
      const bytes = toBytes(piece, 'exclude');
      if (bytes.length === 0) throw badArgument(`exclude has an empty piece in ${quoted(pieces.join(','))}`);
      const pointer = core.text(bytes, temporaries);
      core.view().setUint32(list + index * 4, pointer, true);
    });
  }
  const block = core.allocate(24, temporaries);
  const view = core.view();
  view.setInt32(block, unique ? 1 : 0, true);
  view.setInt32(block + 4, minLength, true);
  view.setInt32(block + 8, maxLength, true);
  view.setUint32(block + 12, endsWith, true);
  view.setUint32(block + 16, list, true);
  view.setUint32(block + 20, pieces.length, true);
  return block;
}

// Why the constraints cannot be met ('' when they can), in the words of surface: the
// composer's own message (cli/fault_words.cpp), the same the tool gives.
function constraintMessage(core, prefixPointer, gender, constraints, options, temporaries, surface = Surfaces.library) {
  const size = 512;
  const message = core.allocate(size, temporaries);
  const source = styleSource(options.style);
  const name = source?.builtIn !== undefined ? core.text(toBytes(source.builtIn, 'style'), temporaries) : 0;
  const text = source?.toml ? core.text(source.toml, temporaries) : 0;
  core.check(core.x.norvathel_web_constraint_message(prefixPointer, gender, constraints, name, text,
    source?.toml ? source.toml.length : 0, surface, message, size));
  return decodeName(core.readText(message, size));
}

// --- styles ---

// Each style is made once per module instance, on first use, and freed with the style.
const styleSources = new WeakMap();

/**
 * A style: the voice names are composed in. The built-in ones by name (`styles` lists them),
 * or a style file's TOML text. A style works with every instance of the composer.
 */
export class Style {
  #name; #description;

  constructor(secret, source, name, description) {
    if (secret !== styleSources) throw badArgument('a Style is made by Style.builtIn or Style.fromToml');
    styleSources.set(this, { source, handles: new Map() });
    this.#name = name;
    this.#description = description;
  }

  /** The built-in style of that name: classic, or one that `styles` lists. */
  static builtIn(name) { return makeStyle(shared.core, { builtIn: String(name) }); }
  /** A style from the TOML text of a style file; source names it in error messages. */
  static fromToml(text, source = 'text') { return makeStyle(shared.core, { toml: toBytes(text, 'style text'), source }); }

  get name() { return this.#name; }
  get description() { return this.#description; }
}

function createStyle(core, source, temporaries) {
  const out = core.allocate(4, temporaries);
  if (source.builtIn !== undefined) {
    const result = core.x.norvathel_style_builtin(core.text(toBytes(source.builtIn, 'style'), temporaries), out);
    if (result === BadArgument) throw badArgument(`style ${quoted(source.builtIn)} is no built-in style (see styles)`);
    core.check(result);
  } else {
    const text = core.text(source.toml, temporaries);
    const problem = core.allocate(512, temporaries);
    const result = core.x.norvathel_style_from_text(text, source.toml.length, out, problem, 512);
    if (result === BadArgument)
      throw badArgument(decodeName(core.readText(problem, 512)).replace(/^text:/, `${source.source}:`));
    core.check(result);
  }
  return core.view().getUint32(out, true);
}

function makeStyle(core, source) {
  return core.run((temporaries) => {
    const handle = createStyle(core, source, temporaries);
    const text = (pointer) => decodeName(core.readText(pointer, 4096));
    const style = new Style(styleSources, source, text(core.x.norvathel_style_name(handle)),
      text(core.x.norvathel_style_description(handle)));
    keepStyle(style, core, handle);
    return style;
  });
}

function keepStyle(style, core, handle) {
  styleSources.get(style).handles.set(core, handle);
  finalizer.register(style, { core, free: 'norvathel_style_free', handle });
}

// What the style option stands for: { builtIn: name } or { toml: bytes }; null for classic.
function styleSource(style) {
  if (style === undefined || style === null) return null;
  if (typeof style === 'string') return { builtIn: style };
  const entry = styleSources.get(style);
  if (!entry) throw badArgument(`style must be a Style or the name of a built-in style, not ${shown(style)}`);
  return entry.source;
}

// The style option: a Style, a built-in style's name, or nothing (classic); its handle in core.
function styleHandle(core, style, temporaries) {
  if (style === undefined || style === null) return 0;
  if (typeof style === 'string') style = Style.builtIn(style);
  const entry = styleSources.get(style);
  if (!entry) throw badArgument(`style must be a Style or the name of a built-in style, not ${shown(style)}`);
  let handle = entry.handles.get(core);
  if (!handle) {
    handle = createStyle(core, entry.source, temporaries);
    keepStyle(style, core, handle);
  }
  return handle;
}

// --- streams ---

const dryReason = Symbol('dryReason');

// Frees what a dropped object held, if its module still lives.
const finalizer = new FinalizationRegistry(({ core, free, handle }) => {
  if (!core.dead && handle) core.x[free](handle);
});

/**
 * Names one after another, as `norvathel-names --count N` writes them with the same options.
 * An iterator (for...of) and a batch source (take).
 */
export class NameStream {
  #core; #handle; #seed; #full; #names = []; #next = 0; #genderBytes = new Uint8Array(0); #givenParts = null; #dry = false;

  constructor(core, options) {
    options = readOptions(options, NameOptions);
    this.#core = core;
    this.#full = Boolean(options.full);
    this.#seed = readSeed(core, options.seed);
    const gender = genderCode(options.gender);
    const prefix = readPrefix(core, options.prefix);
    this.#handle = core.run((temporaries) => {
      const prefixPointer = core.text(prefix, temporaries);
      const constraints = writeConstraints(core, options, temporaries);
      const out = core.allocate(4, temporaries);
      const style = styleHandle(core, options.style, temporaries);
      const result = core.x.norvathel_web_stream_create(BigInt.asIntN(64, this.#seed), style, gender,
        prefixPointer, constraints, this.#full ? 1 : 0, out);
      if (result === Impossible) core.check(result, constraintMessage(core, prefixPointer, gender, constraints, options, temporaries));
      core.check(result);
      return core.view().getUint32(out, true);
    });
    finalizer.register(this, { core, free: 'norvathel_stream_free', handle: this.#handle }, this);
  }

  /** The seed in use (the one drawn when none was given): pass it again for the same names. */
  get seed() { return this.#seed; }
  /** True once a million names in a row have failed the constraints; no more names come. */
  get dry() { return this.#dry && this.#next === this.#names.length; }

  /** The next names, at most count of them; fewer only when the stream has run dry. */
  take(count) {
    return this.#takeEntries(count, false).names;
  }

  /**
   * The next names with the gender of each: { name, gender }, and for full names the two
   * parts too: { name, given, surname, gender }.
   */
  takeEntries(count) {
    const { names, genders, givens } = this.#takeEntries(count, true);
    return names.map((name, index) => this.#full
      ? { name, given: givens[index], surname: name.slice(givens[index].length + 1), gender: genders[index] }
      : { name, gender: genders[index] });
  }

  next() {
    if (this.#next === this.#names.length && !this.#fill(BatchNames)) return { done: true, value: undefined };
    return { done: false, value: this.#names[this.#next++] };
  }

  [Symbol.iterator]() { return this; }

  // Why the stream stopped at written of count names, in the tool's words.
  [dryReason](written, count) {
    const core = this.#core;
    if (!this.#handle || core.dead) return `only ${written} of ${count} names meet the constraints`;
    return core.run((temporaries) => {
      const message = core.allocate(256, temporaries);
      core.x.norvathel_web_dry_message(this.#handle, BigInt(written), BigInt(count), message, 256);
      return decodeName(core.readText(message, 256));
    });
  }

  /** Gives back the stream's memory now, rather than when it is collected. */
  close() {
    if (!this.#handle) return;
    if (!this.#core.dead) this.#core.x.norvathel_stream_free(this.#handle);
    finalizer.unregister(this);
    this.#handle = 0;
  }

  // The buffered names first, then whole batches straight from the module.
  #takeEntries(count, withGenders) {
    readCount(count);
    let names = [], genders = [], givens = [];
    while (names.length < count) {
      if (this.#next === this.#names.length && !this.#fill(Math.min(BatchNames * 16, count - names.length))) break;
      const end = Math.min(this.#names.length, this.#next + count - names.length);
      if (names.length === 0 && this.#next === 0 && end === this.#names.length) {
        names = this.#names;
        if (withGenders) { genders = this.#genders(); givens = this.#givens(); }
      } else {
        names.push(...this.#names.slice(this.#next, end));
        if (withGenders) {
          genders.push(...this.#genders().slice(this.#next, end));
          givens.push(...this.#givens().slice(this.#next, end));
        }
      }
      this.#next = end;
    }
    return { names, genders, givens };
  }

  #givens() {
    if (!this.#givenParts) return [];
    const parts = this.#givenParts;
    parts.list ??= givenNames(parts.text, parts.lengths, this.#names);
    return parts.list;
  }

  #genders() {
    return Array.from(this.#genderBytes, genderOfByte);
  }

  #fill(count) {
    if (this.#dry) return false;
    if (!this.#handle) throw badArgument('the stream is closed');
    const core = this.#core;
    return core.run((temporaries) => {
      const text = core.allocate(count * (this.#full ? FullNameSize : NameSize), temporaries);
      const genders = core.allocate(count, temporaries);
      const filled = core.allocate(8, temporaries);
      // Each name's length in bytes: the given part's for full names, the whole name's else.
      const lengths = core.allocate(count, temporaries);
      const result = this.#full
        ? core.x.norvathel_web_stream_fill_full(this.#handle, text, genders, lengths, count, filled)
        : core.x.norvathel_web_stream_fill(this.#handle, text, genders, lengths, count, filled);
      if (result === Dry) this.#dry = true;
      else core.check(result);
      const view = core.view();
      const got = view.getUint32(filled, true);
      const bytes = view.getUint32(filled + 4, true);
      if (got === 0) return false;
      const memory = core.bytes();
      this.#names = this.#full ? splitNames(memory.subarray(text, text + bytes))
        : batchNames(memory.subarray(text, text + bytes), memory.subarray(lengths, lengths + got));
      this.#genderBytes = memory.slice(genders, genders + got);
      // Full names' given parts only when takeEntries asks: take needs only the whole names.
      this.#givenParts = this.#full ? { lengths: memory.slice(lengths, lengths + got), text: memory.slice(text, text + bytes) } : null;
      this.#next = 0;
      return true;
    });
  }
}

// The given names of a batch of full names, from their lengths in bytes: a slice of each
// name where the batch is ASCII (a byte a character), else decoded from its bytes.
function givenNames(text, lengths, names) {
  let ascii = true;
  for (let index = 0; index < text.length && ascii; ++index) ascii = text[index] < 0x80;
  if (ascii) return names.map((name, index) => name.slice(0, lengths[index]));
  const givens = [];
  for (let index = 0, start = 0; index < lengths.length; ++index) {
    givens.push(decodeName(text.subarray(start, start + lengths[index])));
    start = text.indexOf(10, start) + 1;
  }
  return givens;
}

// A batch of names, each followed by '\n', from its text and the names' lengths in bytes:
// decoded at once, and where the batch is ASCII (a byte a character) cut by the lengths, which
// makes the strings faster than splitting at the newlines does.
function batchNames(bytes, lengths) {
  let text;
  try {
    text = strictDecoder.decode(bytes);
  } catch {
    return splitNames(bytes);
  }
  if (text.length !== bytes.length) return splitText(text);
  const names = new Array(lengths.length);
  for (let index = 0, start = 0; index < lengths.length; ++index) {
    names[index] = text.slice(start, start + lengths[index]);
    start += lengths[index] + 1;
  }
  return names;
}

function splitText(text) {
  const names = text.split('\n');
  names.pop();
  return names;
}

// Names separated by '\n' (one after the last): decoded at once where all are UTF-8.
function splitNames(bytes) {
  let text;
  try {
    text = strictDecoder.decode(bytes);
  } catch {
    const names = [];
    for (let start = 0, end; start < bytes.length; start = end + 1) {
      end = bytes.indexOf(10, start);
      names.push(decodeName(bytes.subarray(start, end)));
    }
    return names;
  }
  return splitText(text);
}

// --- boards, as the window composes them ---

/** A --boards item's prefix written back: %XX for a comma, a percent sign and control bytes. */
function encodePrefix(bytes) {
  let out = '';
  for (const byte of bytes) {
    if (byte === 44 || byte === 37 || byte < 32 || byte === 127) out += '%' + byte.toString(16).toUpperCase().padStart(2, '0');
    else out += String.fromCharCode(byte);
  }
  return decodeName(Uint8Array.from(out, (c) => c.charCodeAt(0)));
}

// A board list read by the tool's own reader (cli/argument_texts.cpp), its message naming the
// list rather than the tool's option.
function readBoards(core, list) {
  if (typeof list !== 'string') throw badArgument(`the board list must be a string, not ${shown(list)}`);
  const bytes = toBytes(list, 'the board list');
  return core.run((temporaries) => {
    const size = bytes.length * 2 + 256;
    const out = core.allocate(size, temporaries);
    const count = core.x.norvathel_web_parse_boards(core.text(bytes, temporaries), out, size);
    if (count < 0) throw badArgument(decodeName(core.readText(out, size)).replace(/^--boards/, 'the board list'));
    const memory = core.bytes();
    const items = [];
    for (let place = out, index = 0; index < count; ++index) {
      const end = memory.indexOf(0, place);
      const prefix = memory.slice(place + 1, end);
      const kind = memory[place];
      items.push(kind === 115 ? { gender: 'start', prefix: '' }
        : { gender: genderOfByte(kind), prefix: decodeName(prefix), prefixBytes: prefix });
      place = end + 1;
    }
    return items;
  });
}

/** Reads a --boards list ("start,female,male:ka") into compositions, as the tool reads it. */
export function parseBoards(list) {
  return readBoards(shared.core, list);
}

// A clock value: digits only is a number (its low 30 bits count), any other text a word (its
// hash's low 30 bits); a safe integer or a bigint as for seeds.
function readClock(core, clock) {
  if (clock === undefined || clock === null) return BigInt(Math.floor(Date.now() / 1000));
  return readSeed(core, clock, 'clock');
}

/**
 * The window's boards: one generator seeded by a clock value, as the program seeds it at
 * start-up, composing ten names at a time. `new Session(1000000000).compose('start')` is the
 * board the program showed when started in that second.
 */
export class Session {
  #core; #handle; #clock; #style; #list = [];

  constructor(core, clock, options) {
    options = readOptions(options, ['style']);
    this.#core = core;
    this.#style = options.style;
    this.#clock = readClock(core, clock);
    this.#handle = core.run((temporaries) => {
      const out = core.allocate(4, temporaries);
      core.check(core.x.norvathel_generator_create(BigInt.asIntN(64, this.#clock), out));
      return core.view().getUint32(out, true);
    });
    finalizer.register(this, { core, free: 'norvathel_generator_free', handle: this.#handle }, this);
  }

  /** The clock value the generator was seeded with. */
  get clock() { return this.#clock; }
  /** The compositions so far as a --boards list, for `norvathel-names --boards`. */
  get boards() { return this.#list.join(','); }

  /**
   * Composes the next board: 'start' (the gender drawn as at start-up, no prefix), 'male' or
   * 'female' with an optional prefix (its first 31 bytes count, as in the window's box).
   */
  compose(gender = 'start', prefix = '') {
    if (!this.#handle) throw badArgument('the session is closed');
    const core = this.#core;
    const start = gender === 'start';
    if (start && prefix !== '' && prefix !== undefined) throw badArgument("'start' takes no prefix");
    if (!start && gender !== 'male' && gender !== 'female' && gender !== 'neutral')
      throw badArgument(`unknown composition ${shown(gender)}: expected start, male, female or neutral`);
    const code = start ? Drawn : genderCode(gender);
    const bytes = toBytes(prefix ?? '', 'prefix');
    const board = core.run((temporaries) => {
      const names = core.allocate(BoardNames * NameSize, temporaries);
      const used = core.allocate(4, temporaries);
      const style = styleHandle(core, this.#style, temporaries);
      core.check(core.x.norvathel_compose_styled_board(this.#handle, style, code, core.text(bytes, temporaries), names, used));
      const list = [];
      for (let index = 0; index < BoardNames; ++index) list.push(decodeName(core.readText(names + index * NameSize, NameSize)));
      return { gender: genderName(core.view().getUint32(used, true)), prefix: decodeName(bytes.subarray(0, PrefixBytes)), names: list };
    });
    this.#list.push(start ? 'start' : bytes.length ? `${gender}:${encodePrefix(bytes)}` : gender);
    return board;
  }

  close() {
    if (!this.#handle) return;
    if (!this.#core.dead) this.#core.x.norvathel_generator_free(this.#handle);
    finalizer.unregister(this);
    this.#handle = 0;
  }
}

// --- the library: one module instance, restarted if a trap ever left it dead ---

class Library {
  #core; #options;

  constructor(options) {
    this.#options = options;
    this.#core = new Core(options.maximumMemory);
  }

  get core() {
    if (this.#core.dead) this.#core = new Core(this.#options.maximumMemory);
    return this.#core;
  }

  get #live() { return this.core; }

  names(options) { return new NameStream(this.#live, options); }

  generate(count, options) {
    readCount(count);
    const stream = this.names(options);
    try {
      const list = stream.take(count);
      if (list.length < count) throw new NorvathelError(stream[dryReason](list.length, count), 'dry', list);
      return list;
    } finally {
      stream.close();
    }
  }

  session(clock, options) { return new Session(this.#live, clock, options); }

  replay(list, options) {
    const { clock, style } = readOptions(options, ['clock', 'style']);
    const items = readBoards(this.#live, list);
    const session = this.session(clock, { style });
    try {
      return items.map((item) =>
        session.compose(item.gender, item.prefixBytes ?? ''));
    } finally {
      session.close();
    }
  }

  seedOf(seed) { return readSeed(this.#live, seed); }

  // One name per key, as `norvathel-names --keys FILE` gives them: the first name of the key's
  // own stream (its seed the FNV-1a hash of the key's bytes, mixed with the seed when given).
  namesFor(keys, options) {
    if (!Array.isArray(keys)) throw badArgument(`keys must be an array of strings, not ${shown(keys)}`);
    options = readOptions(options, NameOptions);
    const core = this.#live;
    if (options.unique) throw badArgument("keys cannot be combined with unique (a key's name must not depend on the other keys)");
    const gender = genderCode(options.gender);
    const prefix = readPrefix(core, options.prefix);
    const project = options.seed === undefined || options.seed === null ? null : readSeed(core, options.seed);
    return core.run((temporaries) => {
      const prefixPointer = core.text(prefix, temporaries);
      const constraints = writeConstraints(core, options, temporaries);
      const fault = constraintMessage(core, prefixPointer, gender, constraints, options, temporaries);
      if (fault) throw new NorvathelError(fault, 'impossible');
      const style = styleHandle(core, options.style, temporaries);
      const full = Boolean(options.full);
      const size = full ? FullNameSize : NameSize;
      const name = core.allocate(size, temporaries);
      const names = [];
      let room = 0, key = 0;
      for (const [index, text] of keys.entries()) {
        const bytes = toBytes(text, `keys[${index}]`);
        if (bytes.length + 1 > room) {
          room = Math.max(64, bytes.length + 1);
          key = core.allocate(room, temporaries);
        }
        core.bytes().set(bytes, key);
        const seed = project === null ? core.x.norvathel_key_seed(key, bytes.length)
          : core.x.norvathel_project_key_seed(key, bytes.length, BigInt.asIntN(64, project));
        const result = core.x.norvathel_web_key_name(seed, style, gender, prefixPointer, constraints, full ? 1 : 0,
          name, size, 0, 0);
        if (result === Dry)
          throw new NorvathelError(`no name for keys[${index}] ${quoted(bytes)} meets the constraints`, 'dry', names);
        core.check(result);
        names.push(decodeName(core.readText(name, size)));
      }
      return names;
    });
  }
}

/**
 * A separate instance of the composer with its own memory, for workers or for a memory limit
 * (maximumMemory, in bytes: beyond it, calls throw NorvathelError 'out of memory').
 */
export async function load(options) {
  const { maximumMemory } = readOptions(options, ['maximumMemory']);
  if (maximumMemory !== undefined && (typeof maximumMemory !== 'number' || !Number.isFinite(maximumMemory)))
    throw badArgument(`maximumMemory ${shown(maximumMemory)} is not a number of bytes`);
  if (maximumMemory < MinimumMemory)
    throw badArgument(`maximumMemory ${maximumMemory} is below the ${MinimumMemory} bytes the composer needs ` +
      '(its memory reserve and room to work)');
  const library = new Library({ maximumMemory });
  return {
    names: (o) => library.names(o),
    generate: (count, o) => library.generate(count, o),
    session: (clock, o) => library.session(clock, o),
    replay: (list, o) => library.replay(list, o),
    seedOf: (seed) => library.seedOf(seed),
    nameFor: (key, o) => library.namesFor([key], o)[0],
    namesFor: (keys, o) => library.namesFor(keys, o),
  };
}

const shared = new Library({});

/** A stream of names: `for (const name of names({ seed: 'dragon', gender: 'female' }))`. */
export const names = (options) => shared.names(options);
/** count names at once: `generate(20, { gender: 'male', prefix: 'El', unique: true })`. */
export const generate = (count, options) => shared.generate(count, options);
/** A window session for boards of ten, seeded by a clock value. */
export const session = (clock, options) => shared.session(clock, options);
/** The boards of a --boards list: `replay('start,female,male:ka', { clock: 1000000000 })`. */
export const replay = (list, options) => shared.replay(list, options);
/** The name for a key (a character's id, a row): the same name for the same key every time. */
export const nameFor = (key, options) => shared.namesFor([key], options)[0];
/** Names for many keys at once, in order: `namesFor(['npc-1', 'npc-2'], { seed: 'my-game' })`. */
export const namesFor = (keys, options) => shared.namesFor(keys, options);
/**
 * Why no name can meet these options ('' when some can), decided before composing: in the
 * words of 'library' (the options as written here), 'tool' (as norvathel-names spells them) or
 * 'page' (the web page's controls).
 */
export function constraintProblem(options, words = 'library') {
  options = readOptions(options, NameOptions);
  if (!Object.hasOwn(Surfaces, words)) throw badArgument(`unknown words ${shown(words)}: expected library, tool or page`);
  const core = shared.core;
  const gender = genderCode(options.gender);
  const prefix = readPrefix(core, options.prefix);
  return core.run((temporaries) => constraintMessage(core, core.text(prefix, temporaries), gender,
    writeConstraints(core, options, temporaries), options, temporaries, Surfaces[words]));
}

const LearnOptions = ['source', 'name', 'description', 'allowCopies'];

/**
 * A style learned from example names, as `norvathel-names learn` learns it: text holds one
 * name a line, each optionally followed by a tab and m, f or n (an array of lines serves too).
 * Gives { style, toml, report }: the Style, its style file's text, and the report learn writes
 * (names read, held-out divergence, copies, distinct names; with any warnings before it). A bad
 * list throws a NorvathelError whose message names every fault, "source:line:column: ..." a line each.
 */
export function learn(text, options) {
  const { source = 'text', name, description, allowCopies = false } = readOptions(options, LearnOptions);
  if (Array.isArray(text)) text = text.map((line) => `${line}\n`).join('');
  if (typeof text !== 'string') throw badArgument(`the examples must be a string or an array of lines, not ${shown(text)}`);
  for (const [option, value] of [['source', source], ['name', name], ['description', description]])
    if (value !== undefined && typeof value !== 'string') throw badArgument(`${option} must be a string, not ${shown(value)}`);
  if (typeof allowCopies !== 'boolean') throw badArgument(`allowCopies must be true or false, not ${shown(allowCopies)}`);
  const core = shared.core;
  const bytes = toBytes(text, 'examples');
  const sourceBytes = toBytes(source, 'source');
  const { toml, said } = core.run((temporaries) => {
    const size = 8192;
    const message = core.allocate(size, temporaries);
    const out = core.allocate(8, temporaries);
    const result = core.x.norvathel_web_learn(core.text(bytes, temporaries), bytes.length, core.text(sourceBytes, temporaries),
      core.text(name === undefined ? null : toBytes(name, 'name'), temporaries),
      core.text(description === undefined ? null : toBytes(description, 'description'), temporaries),
      allowCopies ? 1 : 0, out, out + 4, message, size);
    const words = decodeName(core.readText(message, size));
    if (result === BadArgument) throw badArgument(words.replace(/\n$/, ''));
    core.check(result);
    const view = core.view();
    const block = view.getUint32(out, true);
    const length = view.getUint32(out + 4, true);
    temporaries.push(block);
    return { toml: decodeName(core.bytes().slice(block, block + length)), said: words };
  });
  return { style: Style.fromToml(toml, source), toml, report: said };
}

/** The 64-bit seed a number, bigint or word stands for, as the tool reads --seed. */
export const seedOf = (seed) => shared.seedOf(seed);

function builtInStyles() {
  const core = shared.core;
  const list = [];
  for (let index = 0; ; ++index) {
    const pointer = core.x.norvathel_builtin_style_name(index);
    if (!pointer) break;
    const style = Style.builtIn(decodeName(core.readText(pointer, 64)));
    list.push(style);
  }
  return list;
}

/** The built-in styles, classic first: each a Style with its name and description. */
export const styles = Object.freeze(builtInStyles());
