// The page in a real browser: Debian's chromium, headless, driven by playwright-core, the page
// served from 127.0.0.1 by tools/serve.mjs. Names are checked against the native tool.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { chromium } from 'playwright-core';
import { serve } from '../tools/serve.mjs';
import { execFileSync } from 'node:child_process';
import { pageDir, root, runTool, tool } from './helpers.mjs';

const executablePath = process.env.NORVATHEL_CHROMIUM ?? '/usr/bin/chromium';
// The sandbox needs user namespaces that a root test run in a container lacks: off, in tests only.
const flags = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];

let server, context, origin, profile;

before(async () => {
  server = await serve(pageDir, 0);
  origin = `http://127.0.0.1:${server.address().port}`;
  profile = mkdtempSync(join(tmpdir(), 'norvathel-chromium-'));
  context = await chromium.launchPersistentContext(profile, {
    executablePath, headless: true, args: flags, acceptDownloads: true,
    viewport: { width: 720, height: 900 },
  });
  await context.grantPermissions(['clipboard-read', 'clipboard-write'], { origin });
  // Nothing may come from anywhere but the page's own server.
  await context.route(/.*/, (route) =>
    route.request().url().startsWith(origin + '/') ? route.continue() : route.abort());
});

after(async () => {
  await context?.close();
  server?.close();
  if (profile) rmSync(profile, { recursive: true, force: true });
});

async function open(hash) {
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  page.on('requestfailed', (request) => errors.push(`request failed: ${request.url()}`));
  page.on('console', (message) => { if (/Content Security Policy/i.test(message.text())) errors.push(message.text()); });
  await page.goto(`${origin}/${hash}`);
  await page.waitForSelector('html[data-ready]');
  page.errors = errors;
  return page;
}

const plates = (page) => page.$$eval('#board .plate .name', (spans) => spans.map((span) => span.textContent));
const listed = (page) => page.$$eval('#names button', (buttons) => buttons.map((button) => button.textContent));
const lines = (bytes) => bytes.toString('utf8').split('\n').slice(0, -1);
const shownCommand = (page) => page.textContent('#command');
// The command as the page shows it, run by a shell with the native tool in its place.
function runShown(command, ...more) {
  assert.match(command, /^norvathel-names /);
  const quotedTool = `'${tool.replace(/'/g, `'\\''`)}'`;
  return execFileSync('bash', ['-c', `${quotedTool} ${command.slice('norvathel-names '.length)} ${more.join(' ')}`], { maxBuffer: 1 << 24 });
}
const hash = (page) => page.evaluate(() => decodeURIComponent(location.hash));

test('the buttons and the prefix box: each press composes what its shown command prints', async () => {
  const page = await open('#seed=1000000000');
  assert.equal(await shownCommand(page), 'norvathel-names --seed 1000000000 --style classic --count 10');
  assert.deepEqual(await listed(page), lines(runTool(['--seed', '1000000000', '--count', '10'])));
  assert.deepEqual(await plates(page), await listed(page));
  await page.click('#female');
  assert.equal(await shownCommand(page), 'norvathel-names --seed 1000000000/2 --style classic --female --count 10');
  assert.deepEqual(await plates(page), lines(runShown(await shownCommand(page))));
  await page.fill('#prefix', 'ka');
  await page.click('#male');
  assert.deepEqual(await plates(page), lines(runTool(['--seed', '1000000000/3', '--male', '--prefix', 'ka', '--count', '10'])));
  assert.match(await hash(page), /p=start,female,male:ka$/);
  assert.deepEqual(page.errors, []);
  if (process.env.NORVATHEL_WEB_SCREENSHOT) {
    await page.setViewportSize({ width: 640, height: 820 });
    await page.screenshot({ path: process.env.NORVATHEL_WEB_SCREENSHOT });
  }
  await page.close();
});

test('the shown command prints exactly what is on screen, for every style and every option; so do the downloads', async () => {
  const page = await open('#seed=tavern-night');
  const styles = await page.$$eval('#style option', (options) => options.map((option) => option.value));
  assert.deepEqual(styles, lines(runTool(['--list-styles'])).filter((line) => /^\S/.test(line)).map((line) => line.split(' ')[0]));
  const settings = [
    { gender: 'female' },
    { gender: 'male', prefix: 'Dor', full: true },
    { gender: 'female', count: '23', unique: true },
    { gender: 'male', prefix: "O'k", count: '12', full: true, unique: true },
  ];
  let checked = 0;
  for (const style of styles) {
    for (const setting of settings) {
      await page.selectOption('#style', style);
      await page.setChecked('#full', Boolean(setting.full));
      await page.setChecked('#unique', Boolean(setting.unique));
      await page.fill('#count', setting.count ?? '10');
      await page.fill('#prefix', setting.prefix ?? '');
      await page.click(`#${setting.gender}`);
      const command = await shownCommand(page);
      assert.match(command, new RegExp(` --style ${style} `));
      const expected = lines(runShown(command));
      assert.deepEqual(await listed(page), expected, command);
      assert.deepEqual(await plates(page), [...expected.slice(0, 10), ...Array(Math.max(0, 10 - expected.length)).fill('')], command);
      ++checked;
      if (checked % 7 !== 1) continue;
      // The downloads: the CSV as the tool's --format csv --bom, the JSON with this command.
      const [csv] = await Promise.all([page.waitForEvent('download'), page.click('#download-csv')]);
      assert.ok(readFileSync(await csv.path()).equals(runShown(command, '--format', 'csv', '--bom')), `${command} (CSV)`);
      const [json] = await Promise.all([page.waitForEvent('download'), page.click('#download-json')]);
      const document = JSON.parse(readFileSync(await json.path(), 'utf8'));
      assert.equal(document.command, command);
      assert.deepEqual(document.names.map((entry) => entry.name), expected);
    }
  }
  assert.equal(checked, styles.length * settings.length);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('options apply from the next press; undo and redo, by button and keys, with the link following', async () => {
  const page = await open('#seed=dragonkeep');
  await page.fill('#prefix', 'El');
  await page.click('#female');
  const first = await plates(page), firstCommand = await shownCommand(page), firstLink = await hash(page);
  // Full names, unique, a count, a style: nothing on screen changes until the next press.
  await page.check('#full');
  await page.check('#unique');
  await page.fill('#count', '25');
  await page.dispatchEvent('#count', 'change');
  await page.selectOption('#style', 'liquid');
  assert.deepEqual(await plates(page), first);
  assert.equal(await shownCommand(page), firstCommand);
  await page.click('#male');
  const second = await listed(page);
  assert.equal(second.length, 25);
  assert.ok(second.every((name) => name.startsWith('El') && name.includes(' ')));
  assert.deepEqual(second, lines(runShown(await shownCommand(page))));
  await page.click('#undo');
  assert.deepEqual(await plates(page), first);
  assert.equal(await hash(page), firstLink);
  await page.click('#hint');  // the keys act outside the text boxes
  await page.keyboard.press('Control+Shift+Z');
  assert.deepEqual(await listed(page), second);
  await page.keyboard.press('Control+Z');
  assert.deepEqual(await plates(page), first);
  assert.equal(await shownCommand(page), firstCommand);
  // A press after an undo drops what could be redone.
  await page.click('#female');
  assert.equal(await page.isDisabled('#redo'), true);
  assert.match(await shownCommand(page), /--seed dragonkeep\/3 /);
  // A press is composed on its own: the fiftieth is what its command prints, nothing before it counts.
  for (let index = 0; index < 47; ++index) await page.click('#male');
  assert.match(await shownCommand(page), /--seed dragonkeep\/50 /);
  assert.deepEqual(await listed(page), lines(runShown(await shownCommand(page))));
  const link = page.url();
  const names = await listed(page);
  await page.close();
  const opened = await open(link.slice(link.indexOf('#')));
  assert.deepEqual(await listed(opened), names);
  assert.equal(await opened.inputValue('#style'), 'liquid');
  await opened.click('#undo');
  assert.match(await shownCommand(opened), /--seed dragonkeep\/49 /);
  await opened.close();
});

test('by keyboard: the buttons, then the prefix box, then the plates; Enter in the box composes', async () => {
  const page = await open('#seed=77');
  const focused = () => page.evaluate(() => document.activeElement.id || document.activeElement.className);
  const order = [];
  for (let index = 0; index < 4; ++index) {
    await page.keyboard.press('Tab');
    order.push(await focused());
  }
  assert.deepEqual(order, ['female', 'male', 'prefix', 'plate']);
  await page.focus('#prefix');
  await page.keyboard.type('Mor');
  await page.keyboard.press('Enter');
  assert.deepEqual(await plates(page), lines(runTool(['--seed', '77/2', '--female', '--prefix', 'Mor', '--count', '10'])));
  await page.keyboard.press('Shift+Enter');
  assert.deepEqual(await plates(page), lines(runTool(['--seed', '77/3', '--male', '--prefix', 'Mor', '--count', '10'])));
  await page.close();
});

test('a click on a name copies it; copy all copies the list', async () => {
  const page = await open('#seed=1000000000');
  await page.click('#board li:nth-child(4) .plate');
  assert.equal(await page.evaluate(() => navigator.clipboard.readText()), (await plates(page))[3]);
  await page.click('#copy-all');
  const all = await page.evaluate(() => navigator.clipboard.readText());
  assert.deepEqual(lines(Buffer.from(all)), await listed(page));
  await page.close();
});

test('for a person: a labelled prefix box with room for 31 letters, a one-line hint, full names on their plates, counts refused beside the field', async () => {
  const page = await context.newPage();
  await page.setViewportSize({ width: 1280, height: 800 });
  await page.goto(`${origin}/#seed=99&p=female;s=crisp;f`);
  await page.waitForSelector('html[data-ready]');
  const label = await page.$eval('label[for=prefix]', (element) => ({ text: element.textContent, width: element.getBoundingClientRect().width }));
  assert.equal(label.text, 'Prefix');
  assert.ok(label.width > 10, 'the label is seen');
  await page.fill('#prefix', 'Kathavelionmurestradinoplekvaaw');
  assert.equal((await page.inputValue('#prefix')).length, 31);
  assert.ok(await page.$eval('#prefix', (box) => box.scrollWidth <= box.clientWidth), 'the box shows 31 letters');
  const hint = await page.$eval('#hint', (element) => element.getBoundingClientRect().height / parseFloat(getComputedStyle(element).lineHeight));
  assert.ok(hint < 1.5, `the hint is one line (${hint})`);
  await page.setViewportSize({ width: 390, height: 844 });
  assert.ok(await page.$eval('#hint', (element) => element.scrollWidth <= element.clientWidth), 'the whole hint on a phone');
  await page.setViewportSize({ width: 1280, height: 800 });
  // Crisp's full names are the longest: each fits its plate.
  await page.fill('#prefix', '');
  for (const seed of [99, 5, 12345]) {
    await page.fill('#seed', String(seed));
    await page.dispatchEvent('#seed', 'change');
    await page.check('#full');
    await page.selectOption('#style', 'crisp');
    await page.click('#female');
    const cut = await page.$$eval('#board .plate .name', (spans) => spans.filter((span) =>
      span.scrollWidth > span.clientWidth || span.scrollHeight > span.clientHeight).map((span) => span.textContent));
    assert.deepEqual(cut, [], `seed ${seed}`);
  }
  const numbers = await page.$$eval('#board .plate .number', (spans) => spans.map((span) => span.textContent));
  assert.deepEqual(numbers, ['1', '2', '3', '4', '5', '6', '7', '8', '9', '10']);
  assert.equal((await listed(page))[1], (await plates(page))[1], 'the list is numbered as the plates');
  const before = await listed(page);
  for (const count of ['0', '2.5', '5000', '1e3', '-3', '']) {
    await page.fill('#count', count);
    await page.click('#male');
    assert.match(await page.textContent('#count-problem'), /^How many: /, count);
    assert.deepEqual(await listed(page), before, `${count}: the names stay`);
  }
  await page.fill('#count', '10');
  await page.fill('#seed', '99999999999999999999');
  await page.dispatchEvent('#seed', 'change');
  assert.match(await page.textContent('#seed-problem'), /^Seed: value '99999999999999999999' is out of range/);
  assert.deepEqual(await listed(page), before);
  await page.fill('#prefix', 'ÅÅÅÅÅÅÅÅÅÅÅÅÅÅÅÅ');
  await page.click('#male');
  assert.match(await page.textContent('#prefix-problem'), /^Prefix: 'Å+' is 32 bytes long; a prefix holds at most 31$/);
  if (process.env.NORVATHEL_WEB_SCREENSHOTS) {
    await page.fill('#prefix', '');
    await page.fill('#seed', '99');
    await page.dispatchEvent('#seed', 'change');
    await page.click('#female');
    for (const [width, height] of [[1280, 800], [390, 844]]) {
      await page.setViewportSize({ width, height });
      await page.screenshot({ path: join(process.env.NORVATHEL_WEB_SCREENSHOTS, `page-${width}x${height}.png`) });
    }
  }
  await page.close();
});

test('hostile links: capped and refused with a message, an unknown style reported, only the shown press composed', async (t) => {
  const many = Array.from({ length: 10000 }, (_, index) => (index % 2 ? 'male:ka;n=30' : 'female')).join(',');
  const page = await open(`#seed=7&p=${many}`);
  assert.match(await page.textContent('#status-problem'), /^This link held 10000 presses; the page keeps the last 1000/);
  assert.match(await shownCommand(page), /^norvathel-names --seed 7\/10000 --style classic --male --prefix ka --count 30$/);
  assert.deepEqual(await listed(page), lines(runShown(await shownCommand(page))));
  // Reported, not asserted: the same link opened again in the open page, and the page's load.
  const reopened = await page.evaluate((link) => {
    const start = performance.now();
    history.replaceState(null, '', link);
    dispatchEvent(new HashChangeEvent('hashchange'));
    return performance.now() - start;
  }, `#seed=8&p=${many}`);
  assert.match(await shownCommand(page), /--seed 8\/10000 /);
  t.diagnostic(`a link of 10000 presses restored in ${reopened.toFixed(1)} ms (the page loaded in ${Math.round(await page.evaluate(() => performance.now()))} ms)`);
  await page.close();
  for (const [link, reason] of [['#seed=1&p=female;s=elvish', /style 'elvish' is none of this page's/],
    ['#seed=1&style=elvish', /style 'elvish' is none of this page's/],
    ['#seed=1&p=female;n=0x10', /'0x10' is not a whole number/],
    ['#seed=1&p=female;n=0', /0 is out of range/],
    ['#seed=1&p=bogus', /item 1 'bogus' is unknown/],
    ['#seed=99999999999999999999', /seed value/]]) {
    const refused = await open(link);
    assert.match(await refused.textContent('#status-problem'), reason, link);
    assert.deepEqual(await listed(refused), [], link);
    await refused.close();
  }
});

test('a strict Content-Security-Policy: only the page\'s own scripts, styles and module', async () => {
  const page = await open('#seed=3');
  const policy = await page.$eval('meta[http-equiv=Content-Security-Policy]', (meta) => meta.content);
  assert.match(policy, /default-src 'none'/);
  assert.match(policy, /script-src 'self' 'wasm-unsafe-eval';/);
  assert.match(policy, /style-src 'self';/);
  await page.click('#female');
  assert.deepEqual(page.errors, [], 'the page works within it');
  const outcome = await page.evaluate(() => new Promise((done) => {
    document.addEventListener('securitypolicyviolation', (event) => done({ ran: window.injected === true, blocked: event.violatedDirective }), { once: true });
    const script = document.createElement('script');
    script.textContent = 'window.injected = true';
    document.body.append(script);
  }));
  assert.deepEqual(outcome, { ran: false, blocked: 'script-src-elem' });
  await page.close();
});

test('on a phone-sized screen the window fits the width and nothing scrolls sideways', async () => {
  const page = await context.newPage();
  await page.setViewportSize({ width: 360, height: 740 });
  await page.goto(`${origin}/#seed=1`);
  await page.waitForSelector('html[data-ready]');
  const { frame, scroll } = await page.evaluate(() => ({
    frame: document.getElementById('frame').getBoundingClientRect().width,
    scroll: document.documentElement.scrollWidth,
  }));
  assert.ok(frame > 294 && frame <= 360, `window ${frame} px wide`);
  assert.ok(scroll <= 360, `page ${scroll} px wide`);
  await page.close();
});

test('your own names: learned as the tool learns them, composed at once, kept, linked and downloaded', async () => {
  const list = readFileSync(join(root, 'tests/names/data/qessari_names.txt'), 'utf8');
  const scratch = mkdtempSync(join(tmpdir(), 'norvathel-learned-'));
  try {
    execFileSync('bash', ['-c', `cd '${scratch}' && '${tool}' learn --quiet '${join(root, 'tests/names/data/qessari_names.txt')}' > learned.toml`]);
    const inScratch = (command) => execFileSync('bash', ['-c', `cd '${scratch}' && '${tool}' ${command.slice('norvathel-names '.length)}`]);
    const page = await open('#seed=77');
    await page.fill('#examples', 'Kalina\tf\nTor9van\nMes\u0001kel\n');
    await page.click('#learn');
    assert.equal(await page.textContent('#examples-problem'),
      "your names:2:4: '9' is not a letter (a name is letters of any script, each with its marks)\n" +
      'your names:3:4: a control character (0x01)');
    await page.fill('#examples', list);
    await page.click('#learn');
    assert.match(await page.textContent('#learn-report'), /^learned: 300 names \(120 male, 120 female, 60 either\)\nheld-out divergence: /);
    const command = await shownCommand(page);
    assert.equal(command, 'norvathel-names --seed 77/2 --style learned.toml --count 10');
    assert.deepEqual(await plates(page), lines(inScratch(command)));
    const examples = new Set(list.split('\n').map((line) => line.split('\t')[0].trim().toLowerCase()));
    assert.ok((await listed(page)).every((name) => !examples.has(name.toLowerCase())), 'no name is one of the list');
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#download-style')]);
    assert.equal(download.suggestedFilename(), 'learned.toml');
    assert.equal(readFileSync(await download.path(), 'utf8'), readFileSync(join(scratch, 'learned.toml'), 'utf8'));
    // This style is too large for a link (contexts and the guard of 300 names): the link says so.
    const tooLarge = await page.evaluate(() => location.hash);
    assert.equal(new URLSearchParams(tooLarge.slice(1)).get('learned'), null);
    // A short list's style is small enough: the link carries it.
    const few = list.split('\n').filter((line) => line && !line.startsWith('#')).slice(0, 40).join('\n') + '\n';
    writeFileSync(join(scratch, 'few.txt'), few);
    execFileSync('bash', ['-c', `cd '${scratch}' && '${tool}' learn --quiet few.txt > learned.toml`]);
    await page.fill('#examples', few);
    await page.click('#learn');
    assert.match(await page.textContent('#learn-report'), /^learned: 40 names/);
    const fewCommand = await shownCommand(page);
    assert.deepEqual(await plates(page), lines(inScratch(fewCommand)));
    const link = await page.evaluate(() => location.hash);
    assert.notEqual(new URLSearchParams(link.slice(1)).get('learned'), null);
    await page.close();

    // Kept in the browser: a reload offers it again.
    const again = await open('#seed=5');
    assert.ok(await again.$('#style option[value=learned]'), 'the learned style is in the menu after a reload');
    await again.click('#forget');
    await again.close();
    const forgotten = await open('#seed=5');
    assert.equal(await forgotten.$('#style option[value=learned]'), null, 'forgotten: not in the menu after a reload');
    await forgotten.close();
    // And the link carries it (the style file is small enough), with nothing kept.
    const linked = await open(link);
    assert.deepEqual(await plates(linked), lines(inScratch(fewCommand)));
    assert.deepEqual(linked.errors, []);
    await linked.close();
  } finally {
    rmSync(scratch, { recursive: true, force: true });
  }
});

test('a third choice beside the window: neutral names, as the shown command prints them', async () => {
  const page = await open('#seed=12');
  await page.fill('#prefix', 'ka');
  await page.click('#neutral');
  const command = await shownCommand(page);
  assert.equal(command, 'norvathel-names --seed 12/2 --style classic --neutral --prefix ka --count 10');
  assert.deepEqual(await plates(page), lines(runShown(command)));
  assert.match(await hash(page), /p=start,neutral:ka$/);
  assert.equal(await page.$$eval('.window button.generate', (buttons) => buttons.length), 2, 'the window keeps its two buttons');
  assert.deepEqual(page.errors, []);
  await page.close();
});
