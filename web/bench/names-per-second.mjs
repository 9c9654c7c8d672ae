// Names per second of the norvathel package in Node beside @faker-js/faker's
// person.firstName, in the same run; and the sizes of the tarball and the page.
//   node web/bench/names-per-second.mjs      (after bash scripts/web.sh --build)
// A benchmark, not a test: the figures depend on the machine.
import { readdirSync, statSync } from 'node:fs';
import { join } from 'node:path';
import { faker } from '@faker-js/faker';
import { packageDir, pageDir, root } from '../test/helpers.mjs';

const norvathel = await import(`${packageDir}/norvathel.js`);
const Seconds = 2;

// Runs work(n) with growing n until it takes Seconds; the best of three rounds, names/s.
function rate(work) {
  let best = 0;
  for (let round = 0; round < 3; ++round) {
    let total = 0;
    const start = performance.now();
    let elapsed = 0;
    while (elapsed < Seconds * 1000) {
      total += work();
      elapsed = performance.now() - start;
    }
    best = Math.max(best, total / (elapsed / 1000));
  }
  return best;
}

let sink = 0;
const stream = norvathel.names({ seed: 1 });
const batch = rate(() => { const names = stream.take(10000); sink += names[0].length; return names.length; });
const iterated = rate(() => {
  let count = 0;
  for (const name of stream) { sink += name.length; if (++count === 10000) break; }
  return count;
});
faker.seed(1);
const fakerRate = rate(() => {
  for (let index = 0; index < 10000; ++index) sink += faker.person.firstName().length;
  return 10000;
});

const kb = (bytes) => (bytes / 1024).toFixed(1);
const tarballs = readdirSync(join(root, 'build/dist')).filter((file) => /^norvathel-.*\.tgz$/.test(file));
const page = readdirSync(pageDir).reduce((sum, file) => sum + statSync(join(pageDir, file)).size, 0);
const format = (value) => Math.round(value).toLocaleString('en');
console.log(`node ${process.version}, ${Seconds} s per measure, best of 3`);
console.log(`norvathel take(10000):       ${format(batch)} names/s`);
console.log(`norvathel for...of:          ${format(iterated)} names/s`);
console.log(`faker person.firstName():    ${format(fakerRate)} names/s`);
console.log(`ratio (take / faker):        ${(batch / fakerRate).toFixed(2)}x`);
console.log(`ratio (for...of / faker):    ${(iterated / fakerRate).toFixed(2)}x`);
for (const file of tarballs) console.log(`tarball ${file}: ${kb(statSync(join(root, 'build/dist', file)).size)} KB`);
console.log(`page build/web/page: ${kb(page)} KB in ${readdirSync(pageDir).length} files`);
if (sink === 0) console.log('');
