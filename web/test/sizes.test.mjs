// The module's size has a ceiling, as the window program's stripped size has one: growth past
// it is a decision to make, not a drift. The ceiling stands about a tenth above today's size
// (README, "On the web and in JavaScript").
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { statSync } from 'node:fs';
import { join } from 'node:path';
import { pageDir } from './helpers.mjs';

const ModuleCeiling = 784 * 1024;

test('the WebAssembly module stays below its ceiling', () => {
  const size = statSync(join(pageDir, 'norvathel.wasm')).size;
  assert.ok(size <= ModuleCeiling, `norvathel.wasm is ${size} bytes, the ceiling ${ModuleCeiling}`);
});
