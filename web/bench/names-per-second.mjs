// Names per second of the norvathel package in Node beside @faker-js/faker's
// person.firstName(sex), in the same run, both making names of alternating gender and touching
// every string (the package as take() batches and one at a time); and the sizes of the
// tarball and the page.
//   node web/bench/names-per-second.mjs      (after bash scripts/web.sh --build)
// A benchmark, not a test: the figures depend on the machine.
import { readFileSync, readdirSync, statSync } from 'node:fs';
import { join } from 'node:path';
import { faker } from '@faker-js/faker';
import { packageDir, pageDir, root } from '../test/helpers.mjs';

const norvathel = await import(`${packageDir}/norvathel.js`);
const Seconds = 1;
const Rounds = 5;

// names/s of work() (which returns how many names it made) over Seconds.
function rate(work) {
  let total = 0;
  const start = performance.now();
  let elapsed = 0;
  while (elapsed < Seconds * 1000) {
    total += work();
    elapsed = performance.now() - start;
  }
  return total / (elapsed / 1000);
}

// Fair to both: each makes names of alternating gender and touches every string it gives.
let sink = 0;
const male = norvathel.names({ seed: 1, gender: 'male' });
const female = norvathel.names({ seed: 2, gender: 'female' });
const maleNames = male[Symbol.iterator](), femaleNames = female[Symbol.iterator]();
const fullStream = norvathel.names({ seed: 1, full: true });
const touch = (names) => { for (const name of names) sink += name.length; return names.length; };
faker.seed(1);
const measures = {
  take: () => touch(male.take(5000)) + touch(female.take(5000)),
  iterate: () => {
    for (let index = 0; index < 5000; ++index) sink += maleNames.next().value.length + femaleNames.next().value.length;
    return 10000;
  },
  full: () => touch(fullStream.take(10000)),
  faker: () => {
    for (let index = 0; index < 10000; ++index) sink += faker.person.firstName(index % 2 ? 'female' : 'male').length;
    return 10000;
  },
};
// All four side by side in every round, so that a busy machine slows all of them alike; the
// median round is reported.
const rounds = Array.from({ length: Rounds }, () =>
  Object.fromEntries(Object.entries(measures).map(([name, work]) => [name, rate(work)])));
const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
const batch = median(rounds.map((round) => round.take));
const iterated = median(rounds.map((round) => round.iterate));
const fullRate = median(rounds.map((round) => round.full));
const fakerRate = median(rounds.map((round) => round.faker));
const takeRatio = median(rounds.map((round) => round.take / round.faker));
const iterateRatio = median(rounds.map((round) => round.iterate / round.faker));

const kb = (bytes) => (bytes / 1024).toFixed(1);
const { version } = JSON.parse(readFileSync(join(packageDir, 'package.json'), 'utf8'));
const tarballs = [`norvathel-${version}.tgz`].filter((file) => readdirSync(join(root, 'build/dist')).includes(file));
const page = readdirSync(pageDir).reduce((sum, file) => sum + statSync(join(pageDir, file)).size, 0);
const format = (value) => Math.round(value).toLocaleString('en');
console.log(`node ${process.version}, ${Seconds} s per measure, median of ${Rounds} rounds`);
console.log(`norvathel take(10000):       ${format(batch)} names/s`);
console.log(`norvathel for...of:          ${format(iterated)} names/s`);
console.log(`norvathel full take(10000):  ${format(fullRate)} full names/s`);
console.log(`faker person.firstName(sex): ${format(fakerRate)} names/s`);
console.log(`ratio (take / faker):        ${takeRatio.toFixed(2)}x`);
console.log(`ratio (for...of / faker):    ${iterateRatio.toFixed(2)}x`);
for (const file of tarballs) console.log(`tarball ${file}: ${kb(statSync(join(root, 'build/dist', file)).size)} KB`);
console.log(`page build/web/page: ${kb(page)} KB in ${readdirSync(pageDir).length} files`);
if (sink === 0) console.log('');
