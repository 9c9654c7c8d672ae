// The page in a real browser: Debian's chromium, headless, driven by playwright-core, the page
// served from 127.0.0.1 by tools/serve.mjs. Names are checked against the native tool.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { chromium } from 'playwright-core';
import { serve } from '../tools/serve.mjs';
import { pageDir, runTool } from './helpers.mjs';

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
  await page.goto(`${origin}/${hash}`);
  await page.waitForSelector('html[data-ready]');
  page.errors = errors;
  return page;
}

const plates = (page) => page.$$eval('#board .plate span', (spans) => spans.map((span) => span.textContent));
const listed = (page) => page.$$eval('#names button', (buttons) => buttons.map((button) => button.textContent));
const lines = (bytes) => bytes.toString('utf8').split('\n').slice(0, -1);
const lastTen = (bytes) => lines(bytes).slice(-10);

test('the buttons and the prefix box compose the boards the tool replays', async () => {
  const page = await open('#seed=1000000000');
  assert.deepEqual(await plates(page), lastTen(runTool(['--clock', '1000000000', '--boards', 'start'])));
  assert.equal((await plates(page))[0], 'Glicia');
  await page.click('#female');
  assert.deepEqual(await plates(page), lastTen(runTool(['--clock', '1000000000', '--boards', 'start,female'])));
  await page.fill('#prefix', 'ka');
  await page.click('#male');
  assert.deepEqual(await plates(page), lastTen(runTool(['--clock', '1000000000', '--boards', 'start,female,male:ka'])));
  assert.match(decodeURIComponent(await page.evaluate(() => location.hash)), /boards=start,female,male:ka/);
  assert.equal(await page.textContent('#command'), 'norvathel-names --clock 1000000000 --boards start,female,male:ka');
  assert.deepEqual(page.errors, []);
  if (process.env.NORVATHEL_WEB_SCREENSHOT) {
    await page.setViewportSize({ width: 640, height: 820 });
    await page.screenshot({ path: process.env.NORVATHEL_WEB_SCREENSHOT });
  }
  await page.close();
});

test('by keyboard: Tab reaches the plates; Enter in the box composes; Space presses the focused button', async () => {
  const page = await open('#seed=77');
  await page.keyboard.press('Tab');
  assert.equal(await page.evaluate(() => document.activeElement.className), 'plate');
  await page.focus('#prefix');
  await page.keyboard.type('Mor');
  await page.keyboard.press('Enter');
  await page.keyboard.press('Tab');  // to "Generate Female Names"
  await page.keyboard.press('Tab');  // to "Generate Male Names"
  await page.keyboard.press('Space');
  await page.focus('#prefix');
  await page.keyboard.press('Shift+Enter');
  assert.deepEqual(await plates(page), lastTen(runTool(['--clock', '77', '--boards', 'start,female:Mor,male:Mor,male:Mor'])));
  await page.close();
});

test('options: how many and unique give the tool\'s stream; the seed field reseeds', async () => {
  const page = await open('#seed=dragonkeep');
  await page.fill('#prefix', 'El');
  await page.click('#female');
  await page.fill('#count', '25');
  await page.check('#unique');
  await page.dispatchEvent('#unique', 'change');
  const expected = lines(runTool(['--seed', 'dragonkeep', '--female', '--prefix', 'El', '--unique', '--count', '25']));
  assert.deepEqual(await listed(page), expected);
  // The command the page shows prints the same names.
  const [, ...shown] = (await page.textContent('#command')).split(' ');
  assert.deepEqual(lines(runTool(shown)), expected);
  assert.deepEqual(await plates(page), expected.slice(0, 10));
  await page.click('#female');  // the same stream goes on
  const fifty = lines(runTool(['--seed', 'dragonkeep', '--female', '--prefix', 'El', '--unique', '--count', '50']));
  assert.deepEqual(await listed(page), fifty.slice(25));
  await page.fill('#seed', '4242');
  await page.dispatchEvent('#seed', 'change');
  const reseeded = lines(runTool(['--seed', '4242', '--female', '--prefix', 'El', '--unique', '--count', '50']));
  assert.deepEqual(await listed(page), reseeded.slice(25));
  await page.close();
});

test('a click on a name copies it; copy all copies the list', async () => {
  const page = await open('#seed=1000000000');
  await page.click('#board li:nth-child(4) .plate');
  assert.equal(await page.evaluate(() => navigator.clipboard.readText()), 'Ryutaila');
  await page.click('#copy-all');
  const all = await page.evaluate(() => navigator.clipboard.readText());
  assert.deepEqual(lines(Buffer.from(all)), await plates(page));
  await page.close();
});

test('downloads: CSV and JSON hold the names shown', async () => {
  const page = await open('#seed=31337&count=12&boards=start,male:br');
  const shown = await listed(page);
  assert.equal(shown.length, 12);
  const [csv] = await Promise.all([page.waitForEvent('download'), page.click('#download-csv')]);
  const rows = readFileSync(await csv.path(), 'utf8').split('\r\n');
  assert.equal(rows[0], 'name,gender');
  assert.deepEqual(rows.slice(1, -1).map((row) => row.split(',')), shown.map((name) => [name, 'male']));
  const [json] = await Promise.all([page.waitForEvent('download'), page.click('#download-json')]);
  const document = JSON.parse(readFileSync(await json.path(), 'utf8'));
  assert.deepEqual(document.names.map((entry) => entry.name), shown);
  assert.equal(document.boards, 'start,male:br');
  await page.close();
});

test('a shared link opens the same board', async () => {
  const page = await open('#seed=555');
  await page.click('#male');
  await page.fill('#prefix', 'a,b');
  await page.click('#female');
  const link = page.url();
  const names = await plates(page);
  await page.close();
  const opened = await context.newPage();
  await opened.goto(link);
  await opened.waitForSelector('html[data-ready]');
  assert.deepEqual(await plates(opened), names);
  assert.equal(await opened.inputValue('#prefix'), 'a,b');
  assert.deepEqual(names, lastTen(runTool(['--clock', '555', '--boards', 'start,male,female:a%2Cb'])));
  await opened.close();
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

test('the style menu and full names: the names the tool gives in that style', async () => {
  const page = await open('#seed=1000000000');
  const offered = await page.$$eval('#style option', (options) => options.map((option) => option.value));
  assert.deepEqual(offered, lines(runTool(['--list-styles'])).filter((line) => /^\S/.test(line)).map((line) => line.split(' ')[0]));
  await page.selectOption('#style', 'guttural');
  assert.deepEqual(await plates(page), lastTen(runTool(['--clock', '1000000000', '--boards', 'start', '--style', 'guttural'])));
  await page.fill('#prefix', 'Gr');
  await page.click('#male');
  assert.deepEqual(await plates(page), lastTen(runTool(['--clock', '1000000000', '--boards', 'start,male:Gr', '--style', 'guttural'])));
  await page.check('#full');
  await page.dispatchEvent('#full', 'change');
  const full = lines(runTool(['--seed', '1000000000', '--style', 'guttural', '--male', '--prefix', 'Gr', '--full', '--count', '10']));
  assert.deepEqual(await listed(page), full);
  const [csv] = await Promise.all([page.waitForEvent('download'), page.click('#download-csv')]);
  const expected = runTool(['--seed', '1000000000', '--style', 'guttural', '--male', '--prefix', 'Gr', '--full', '--count', '10', '--format', 'csv']);
  assert.equal(readFileSync(await csv.path(), 'utf8'), expected.toString());
  const link = page.url();
  await page.close();
  const opened = await open(link.slice(link.indexOf('#')));
  assert.deepEqual(await listed(opened), full);
  assert.equal(await opened.inputValue('#style'), 'guttural');
  await opened.close();
});
