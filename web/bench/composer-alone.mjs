// The WebAssembly composer without strings beside the native tool, in the same run: names/s
// of the module filling batches of female classic names into its own memory (no JavaScript
// string is made), against `norvathel-names --threads 1 --seed 1 --female --count N >/dev/null` (one thread,
// as the module composes on one).
//   node web/bench/composer-alone.mjs      (after bash scripts/web.sh --build and a native build)
// A benchmark, not a test: the figures depend on the machine.
import { spawnSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { root, tool } from '../test/helpers.mjs';

const module = new WebAssembly.Module(readFileSync(join(root, 'build/wasm/web/norvathel.wasm')));
const memory = new WebAssembly.Memory({ initial: 384 });
// No system: every call fails but the two the C library needs at start-up.
const system = {};
for (const entry of WebAssembly.Module.imports(module))
  if (entry.module === 'wasi_snapshot_preview1') system[entry.name] = () => 52;
system.fd_prestat_get = () => 8;
system.environ_sizes_get = system.args_sizes_get = (count, size) => {
  new DataView(memory.buffer).setUint32(count, 0, true);
  new DataView(memory.buffer).setUint32(size, 0, true);
  return 0;
};
const x = new WebAssembly.Instance(module, { env: { memory }, wasi_snapshot_preview1: system }).exports;
x._initialize();

const Female = 2, Batch = 16384, NameSize = 48, Rounds = 5;
const streamAt = x.norvathel_web_alloc(8), filled = x.norvathel_web_alloc(8);
const text = x.norvathel_web_alloc(Batch * NameSize), genders = x.norvathel_web_alloc(Batch);
const lengths = x.norvathel_web_alloc(Batch);
if (x.norvathel_web_stream_create(1n, 0, Female, 0, 0, 0, streamAt) !== 0) throw new Error('no stream');
const stream = new DataView(memory.buffer).getUint32(streamAt, true);

function wasmRate() {
  let names = 0;
  const start = performance.now();
  while (performance.now() - start < 1000) {
    x.norvathel_web_arm();
    x.norvathel_web_stream_fill(stream, text, genders, lengths, Batch, filled);
    names += new DataView(memory.buffer).getUint32(filled, true);
  }
  return names / ((performance.now() - start) / 1000);
}

function nativeRate() {
  const count = 20000000;
  const start = performance.now();
  const run = spawnSync(tool, ['--threads', '1', '--seed', '1', '--female', '--count', String(count)], { stdio: ['ignore', 'ignore', 'inherit'] });
  if (run.status !== 0) throw new Error(`${tool} failed`);
  return count / ((performance.now() - start) / 1000);
}

const rounds = Array.from({ length: Rounds }, () => ({ wasm: wasmRate(), native: nativeRate() }));
const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
const million = (rate) => (rate / 1e6).toFixed(1).padStart(5);
console.log(`node ${process.version}, median of ${Rounds} rounds, ${tool}`);
console.log(`wasm composer, no strings: ${million(median(rounds.map((r) => r.wasm)))} million names/s`);
console.log(`native tool to /dev/null:  ${million(median(rounds.map((r) => r.native)))} million names/s`);
console.log(`ratio (wasm / native):     ${median(rounds.map((r) => r.wasm / r.native)).toFixed(2)}x`);
