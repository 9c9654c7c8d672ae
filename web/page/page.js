// The Norvathel page: the window's board over the dusk picture, and what a web page adds.
//
// Two ways of composing, chosen by the options:
// - the window's (ten names, not unique): every press composes one board on the generator
//   seeded with the seed as a clock value, exactly as the program and
//   `norvathel-names --clock S --boards LIST` do;
// - a list (another count, or unique): every press takes the next names from the stream of its
//   gender and prefix, as `norvathel-names --seed S --female --prefix P --count N` writes them.
// The link holds the seed, the options and the presses so far, so it reopens the same board.
import * as norvathel from './norvathel.js';

const $ = (id) => document.getElementById(id);
const MaxCount = 1000;

const state = {
  seed: '',
  style: 'classic',
  full: false,
  count: 10,
  unique: false,
  presses: [],  // 'start', 'female', 'male:ka' ... as a --boards list names them
  shown: [],    // the names of the last press: { name, gender }
};

// --- composing -----------------------------------------------------------------------------

// The window's boards have no surnames: full names come from the stream.
const windowMode = () => state.count === 10 && !state.unique && !state.full;

function pressParts(press) {
  const [item] = norvathel.parseBoards(press);
  return item;
}

function composeAll() {
  if (windowMode()) {
    const session = norvathel.session(state.seed, { style: state.style });
    try {
      let board;
      for (const press of state.presses) {
        const { gender, prefix } = pressParts(press);
        board = session.compose(gender, prefix);
      }
      return board ? board.names.map((name) => ({ name, gender: board.gender })) : [];
    } finally {
      session.close();
    }
  }
  // One stream for each gender and prefix, continued by every press of the same pair.
  const streams = new Map();
  let last = [];
  try {
    for (const press of state.presses) {
      const { gender, prefix } = pressParts(press);
      const key = `${gender}\u0000${prefix}`;
      if (!streams.has(key)) {
        streams.set(key, norvathel.names({
          seed: state.seed, gender: gender === 'start' ? undefined : gender,
          prefix: prefix || undefined, unique: state.unique, style: state.style, full: state.full,
        }));
      }
      last = streams.get(key).takeEntries(state.count);
    }
  } finally {
    for (const stream of streams.values()) stream.close();
  }
  return last;
}

function refresh() {
  try {
    state.shown = composeAll();
    say('');
  } catch (error) {
    state.shown = [];
    say(error.message, true);
  }
  render();
  writeLink();
}

function press(gender) {
  const prefix = $('prefix').value;
  state.presses.push(prefix ? `${gender}:${escapePrefix(prefix)}` : gender);
  refresh();
}

function escapePrefix(text) {
  return text.replace(/[%,\u0000-\u001f\u007f]/g, (c) => '%' + c.charCodeAt(0).toString(16).toUpperCase().padStart(2, '0'));
}

// --- showing -------------------------------------------------------------------------------

// Plate rectangles as the program paints them: entry 0 at the top of the right column.
function platePosition(index) {
  const row = Math.floor(index / 2);
  return { left: index % 2 === 0 ? 165 : 15, top: 57 + row * 20 };
}

function render() {
  const board = $('board');
  board.replaceChildren(...Array.from({ length: 10 }, (_, index) => {
    const entry = state.shown[index];
    const item = document.createElement('li');
    const plate = document.createElement('button');
    const { left, top } = platePosition(index);
    plate.className = 'plate';
    plate.type = 'button';
    plate.style.left = `${left}px`;
    plate.style.top = `${top}px`;
    // Rows overlap by three pixels; later rows lie on top, as painted.
    plate.style.zIndex = String(index + 1);
    const text = document.createElement('span');
    text.textContent = entry ? entry.name : '';
    plate.append(text);
    if (entry) {
      plate.title = `Copy ${entry.name}`;
      plate.setAttribute('aria-label', `${entry.name} (copy)`);
      plate.addEventListener('click', () => copy(entry.name, `Copied ${entry.name}`));
    } else {
      plate.disabled = true;
    }
    item.append(plate);
    return item;
  }));
  const list = $('names');
  list.replaceChildren(...(windowMode() ? [] : state.shown.map((entry) => {
    const item = document.createElement('li');
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = entry.name;
    button.addEventListener('click', () => copy(entry.name, `Copied ${entry.name}`));
    item.append(button);
    return item;
  })));
  $('command').textContent = command();
}

function shellWord(text) {
  return /^[A-Za-z0-9_.,:%+=@/-]+$/.test(text) ? text : `'${text.replace(/'/g, `'\\''`)}'`;
}

// The tool's command line for the names shown.
function command() {
  if (state.presses.length === 0) return '';
  if (windowMode()) return ['norvathel-names', '--clock', shellWord(state.seed), '--boards', shellWord(state.presses.join(','))].join(' ');
  const seed = ['--seed', shellWord(state.seed)];
  const last = state.presses[state.presses.length - 1];
  const { gender, prefix } = pressParts(last);
  const same = state.presses.filter((p) => p === last).length;
  const words = ['norvathel-names', ...seed];
  if (gender !== 'start') words.push(`--${gender}`);
  if (prefix) words.push('--prefix', shellWord(prefix));
  if (state.full) words.push('--full');
  if (state.unique) words.push('--unique');
  words.push('--count', String(state.count * same));
  return words.join(' ') + (same > 1 ? ` | tail -n ${state.count}` : '');
}

let statusTimer = 0;
function say(message, error = false) {
  const status = $('status');
  status.textContent = message;
  status.style.color = error ? '#ff9a9a' : '';
  clearTimeout(statusTimer);
  if (message && !error) statusTimer = setTimeout(() => { status.textContent = ''; }, 4000);
}

// --- copying, downloading, the link ----------------------------------------------------------

async function copy(text, done) {
  try {
    await navigator.clipboard.writeText(text);
  } catch {
    // Without the asynchronous clipboard (an insecure origin, an old browser): a selection.
    const area = Object.assign(document.createElement('textarea'), { value: text });
    document.body.append(area);
    area.select();
    document.execCommand('copy');
    area.remove();
  }
  say(done);
}

function download(name, type, text) {
  const url = URL.createObjectURL(new Blob([text], { type }));
  const link = Object.assign(document.createElement('a'), { href: url, download: name });
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

function csvField(text) {
  return /[",\r\n]/.test(text) ? `"${text.replace(/"/g, '""')}"` : text;
}

// As the tool writes CSV: name,gender, or given,surname,gender for full names.
function asCsv() {
  const rows = state.full
    ? ['given,surname,gender', ...state.shown.map((e) => `${csvField(e.given)},${csvField(e.surname)},${e.gender}`)]
    : ['name,gender', ...state.shown.map((e) => `${csvField(e.name)},${e.gender}`)];
  return rows.map((line) => line + '\r\n').join('');
}

function asJson() {
  return JSON.stringify({
    seed: state.seed, style: state.style, full: state.full, count: state.count, unique: state.unique,
    boards: state.presses.join(','),
    command: command(), names: state.shown,
  }, null, 2) + '\n';
}

function linkHash() {
  const parameters = new URLSearchParams({ seed: state.seed });
  if (state.style !== 'classic') parameters.set('style', state.style);
  if (state.full) parameters.set('full', '1');
  if (state.count !== 10) parameters.set('count', String(state.count));
  if (state.unique) parameters.set('unique', '1');
  parameters.set('boards', state.presses.join(','));
  return '#' + parameters.toString();
}

function writeLink() {
  history.replaceState(null, '', linkHash());
}

function readLink() {
  const parameters = new URLSearchParams(location.hash.slice(1));
  state.seed = parameters.get('seed') || String(Math.floor(Date.now() / 1000));
  state.count = clampCount(Number(parameters.get('count') ?? 10));
  state.unique = parameters.get('unique') === '1';
  state.full = parameters.get('full') === '1';
  const style = parameters.get('style') ?? 'classic';
  state.style = norvathel.styles.some((known) => known.name === style) ? style : 'classic';
  const boards = parameters.get('boards');
  state.presses = boards ? boards.split(',') : ['start'];
  // The box shows the last prefix used, as the window's box keeps what was typed.
  try {
    $('prefix').value = pressParts(state.presses[state.presses.length - 1]).prefix;
  } catch {
    $('prefix').value = '';
  }
}

function clampCount(value) {
  return Number.isInteger(value) ? Math.min(MaxCount, Math.max(1, value)) : 10;
}

function showOptions() {
  $('seed').value = state.seed;
  $('count').value = String(state.count);
  $('unique').checked = state.unique;
  $('style').value = state.style;
  $('full').checked = state.full;
}

// --- wiring --------------------------------------------------------------------------------

function fitWindow() {
  // The window as wide as the screen allows, up to twice its size (the pictures stay crisp:
  // they are drawn pixelated).
  const room = document.documentElement.clientWidth - 24;
  const scale = Math.min(2, room / 294);
  document.documentElement.style.setProperty('--scale', String(scale));
}

function optionsChanged() {
  state.count = clampCount(Number($('count').value));
  state.unique = $('unique').checked;
  state.style = $('style').value;
  state.full = $('full').checked;
  const seed = $('seed').value.trim();
  if (seed) state.seed = seed;
  refresh();
}

function start() {
  const style = $('style');
  for (const known of norvathel.styles) {
    const option = new Option(known.name, known.name);
    option.title = known.description;
    style.append(option);
  }
  readLink();
  showOptions();
  $('female').addEventListener('click', () => press('female'));
  $('male').addEventListener('click', () => press('male'));
  $('prefix').addEventListener('keydown', (event) => {
    if (event.key === 'Enter') press(event.shiftKey ? 'male' : 'female');
  });
  for (const id of ['count', 'unique', 'seed', 'style', 'full']) $(id).addEventListener('change', optionsChanged);
  $('new-seed').addEventListener('click', () => {
    state.seed = String(Math.floor(Date.now() / 1000));
    state.presses = ['start'];
    showOptions();
    refresh();
  });
  $('copy-all').addEventListener('click', () =>
    copy(state.shown.map((e) => e.name).join('\n') + '\n', `Copied ${state.shown.length} names`));
  $('download-csv').addEventListener('click', () => download('norvathel-names.csv', 'text/csv', asCsv()));
  $('download-json').addEventListener('click', () => download('norvathel-names.json', 'application/json', asJson()));
  $('copy-link').addEventListener('click', () => copy(location.href, 'Copied the link'));
  addEventListener('hashchange', () => { readLink(); showOptions(); refresh(); });
  addEventListener('resize', fitWindow);
  fitWindow();
  refresh();
  document.documentElement.dataset.ready = 'true';
}

start();
