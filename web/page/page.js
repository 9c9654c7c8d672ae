// The Norvathel page: the window's board over the dusk picture, and what a web page adds.
//
// Every press is composed on its own, from the page's seed and the press's number: press 1
// takes the names of `norvathel-names --seed S`, press n those of `--seed S/n`, with the
// style, gender, prefix, count and unique and full names set when it was pressed. So a press
// never depends on the ones before it: changing an option changes nothing on screen (it
// applies from the next press), undo and redo show a press again without recomposing the
// others, and a shared link composes only the press it shows. The command under the list is
// that press's, and prints exactly what is on screen.
// The link holds the seed and the presses (up to the one shown), each as a --boards item
// ("female:ka") with its options when they differ from the defaults (";s=liquid;n=20;f;u").
import * as norvathel from './norvathel.js';

const $ = (id) => document.getElementById(id);
const MaxCount = 1000;
// What a link may hold: presses, and names over all its presses. Only the press shown is
// composed when a link opens; the caps keep the history (and the link) of a sane size.
const MaxPresses = 1000;
const MaxLinkNames = 100000;
const Defaults = { style: 'classic', count: 10, full: false, unique: false };
// A style learned from the visitor's names: in the Style menu by this name, kept in the browser
// (it survives a reload) and, when small enough, in the link.
const LearnedName = 'learned';
const LearnedFile = 'learned.toml';
const LearnedKey = 'norvathel-learned-style';
const MaxLinkedStyle = 32 * 1024;  // characters of style file a link carries (some 43 KB of link)
let learned = null;  // { style, toml }

const state = {
  seed: '',
  presses: [],  // { number, gender: 'start' | 'female' | 'male' | 'neutral', prefix, style, count, full, unique }
  at: 0,        // how many presses are in effect: presses[at - 1] is on screen, the rest redo
  shown: [],    // the names on screen: { name, gender, given?, surname? }
};

const current = () => state.presses[state.at - 1];
const pressSeed = (press) => (press.number === 1 ? state.seed : `${state.seed}/${press.number}`);

// --- composing -----------------------------------------------------------------------------

// The style a press names: a built-in one's name, or the learned style itself.
function styleOf(name) {
  if (name !== LearnedName) return name;
  if (!learned) throw new Error(`style '${LearnedName}' is not in this browser any more: learn the names again`);
  return learned.style;
}

function compose(press) {
  const stream = norvathel.names({
    seed: pressSeed(press), gender: press.gender === 'start' ? undefined : press.gender,
    prefix: press.prefix || undefined, style: styleOf(press.style), full: press.full, unique: press.unique,
  });
  try {
    return stream.takeEntries(press.count);
  } finally {
    stream.close();
  }
}

// Shows the press in effect; false, with the reason next to its field, when it cannot be made.
function show() {
  const press = current();
  try {
    state.shown = press ? compose(press) : [];
  } catch (error) {
    refuse(error.message.startsWith('prefix ') ? 'prefix' : error.message.startsWith('style ') ? 'style' : 'status',
      error.message);
    return false;
  }
  render();
  writeLink();
  return true;
}

// What the controls ask of the next press; null, with the reason beside the field, if not.
function nextOptions() {
  const count = readCount($('count').value);
  if (typeof count === 'string') {
    refuse('count', count);
    return null;
  }
  return { style: $('style').value, count, full: $('full').checked, unique: $('unique').checked };
}

function press(gender) {
  clearProblems();
  const options = nextOptions();
  if (!options) return;
  const prefix = $('prefix').value;
  const previous = state.at;
  const number = previous === 0 ? 1 : current().number + 1;
  state.presses.splice(state.at, Infinity, { number, gender, prefix, ...options });
  state.at = state.presses.length;
  if (!show()) {
    state.presses.pop();
    state.at = previous;
  }
}

function undo() {
  if (state.at <= 1) return;
  --state.at;
  clearProblems();
  show();
}

function redo() {
  if (state.at >= state.presses.length) return;
  ++state.at;
  clearProblems();
  show();
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
    const number = document.createElement('span');
    number.className = 'number';
    number.textContent = String(index + 1);
    const text = document.createElement('span');
    text.className = 'name';
    text.textContent = entry ? entry.name : '';
    plate.append(number, text);
    if (entry) {
      plate.title = `${index + 1}. ${entry.name}: click to copy`;
      plate.setAttribute('aria-label', `${index + 1}. ${entry.name} (copy)`);
      plate.addEventListener('click', () => copy(entry.name, `Copied ${entry.name}`));
    } else {
      number.textContent = '';
      plate.disabled = true;
    }
    item.append(plate);
    return item;
  }));
  // Names longer than a plate: smaller type on the whole board (one size for all), and two
  // lines for a name still too long.
  const texts = [...board.querySelectorAll('.name')];
  const overflows = (text) => text.scrollWidth > text.clientWidth;
  if (texts.some(overflows)) {
    for (const text of texts) text.classList.add('small');
    for (const text of texts.filter(overflows)) text.classList.replace('small', 'two-lines');
  }
  const list = $('names');
  list.replaceChildren(...state.shown.map((entry) => {
    const item = document.createElement('li');
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = entry.name;
    button.addEventListener('click', () => copy(entry.name, `Copied ${entry.name}`));
    item.append(button);
    return item;
  }));
  $('command').textContent = command();
  $('undo').disabled = state.at <= 1;
  $('redo').disabled = state.at >= state.presses.length;
}

function shellWord(text) {
  return /^[A-Za-z0-9_.,:%+=@/-]+$/.test(text) ? text : `'${text.replace(/'/g, `'\\''`)}'`;
}

// The tool's command line for the names on screen: every option of the press, spelt out.
function command() {
  const press = current();
  if (!press) return '';
  const words = ['norvathel-names', '--seed', shellWord(pressSeed(press)), '--style',
    press.style === LearnedName ? LearnedFile : press.style];
  if (press.gender !== 'start') words.push(`--${press.gender}`);
  if (press.prefix) words.push('--prefix', shellWord(press.prefix));
  if (press.full) words.push('--full');
  if (press.unique) words.push('--unique');
  words.push('--count', String(press.count));
  return words.join(' ');
}

let statusTimer = 0;
function say(message) {
  const status = $('status');
  status.textContent = message;
  status.classList.remove('error');
  clearTimeout(statusTimer);
  if (message) statusTimer = setTimeout(() => { status.textContent = ''; }, 4000);
}

// A refusal, shown beside the field it is about, named as the field is labelled.
const Labels = { count: 'How many', seed: 'Seed', prefix: 'Prefix', style: 'Style', status: '', examples: '' };
function refuse(field, message) {
  const place = $(`${field}-problem`);
  const label = Labels[field];
  const words = label && message.toLowerCase().startsWith(field + ' ') ? message.slice(field.length + 1) : message;
  place.textContent = label ? `${label}: ${words}` : words;
  place.classList.add('error');
  if (field !== 'status') $(field).setAttribute('aria-invalid', 'true');
}

function clearProblems() {
  for (const field of Object.keys(Labels)) {
    $(`${field}-problem`).textContent = '';
    if (field !== 'status') $(field).removeAttribute('aria-invalid');
  }
}

// A count as typed: digits only, 1 to MaxCount; else the reason.
function readCount(text) {
  if (!/^[0-9]+$/.test(text)) return `${text === '' ? 'nothing' : `'${text}'`} is not a whole number from 1 to ${MaxCount}`;
  const count = Number(text);
  if (count < 1 || count > MaxCount) return `${count} is out of range (1 to ${MaxCount})`;
  return count;
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

// As `norvathel-names --format csv --bom` writes it: the byte-order mark, so that a spreadsheet
// reads the letters beyond ASCII as UTF-8, then name,gender or given,surname,gender.
function asCsv() {
  const full = current()?.full;
  const rows = full
    ? ['given,surname,gender', ...state.shown.map((e) => `${csvField(e.given)},${csvField(e.surname)},${e.gender}`)]
    : ['name,gender', ...state.shown.map((e) => `${csvField(e.name)},${e.gender}`)];
  return '\uFEFF' + rows.map((line) => line + '\r\n').join('');
}

function asJson() {
  const press = current();
  return JSON.stringify({
    seed: press ? pressSeed(press) : state.seed, style: press?.style, gender: press?.gender, prefix: press?.prefix,
    full: press?.full, count: press?.count, unique: press?.unique,
    command: command(), names: state.shown,
  }, null, 2) + '\n';
}

function escapePrefix(text) {
  return text.replace(/[%,;\u0000-\u001f\u007f]/g, (c) => '%' + c.charCodeAt(0).toString(16).toUpperCase().padStart(2, '0'));
}

function pressItem(press) {
  let item = press.gender === 'start' ? 'start' : press.prefix ? `${press.gender}:${escapePrefix(press.prefix)}` : press.gender;
  if (press.style !== Defaults.style) item += `;s=${press.style}`;
  if (press.count !== Defaults.count) item += `;n=${press.count}`;
  if (press.full) item += ';f';
  if (press.unique) item += ';u';
  return item;
}

function linkHash() {
  const parameters = new URLSearchParams({ seed: state.seed });
  const presses = state.presses.slice(0, state.at);
  if (presses.length && presses[0].number !== 1) parameters.set('from', String(presses[0].number));
  parameters.set('p', presses.map(pressItem).join(','));
  if (learned && presses.some((press) => press.style === LearnedName) && learned.toml.length <= MaxLinkedStyle)
    parameters.set('learned', base64url(learned.toml));
  return '#' + parameters.toString();
}

function writeLink() {
  history.replaceState(null, '', linkHash());
}

const knownStyle = (name) => norvathel.styles.some((style) => style.name === name) || (name === LearnedName && learned !== null);

// One press of a link; throws with the reason when it is not one the page makes.
function readItem(text, number) {
  const [board, ...options] = text.split(';');
  const [{ gender, prefix }] = norvathel.parseBoards(board);
  if (board.startsWith('start:')) throw new Error(`press ${number}: 'start' takes no prefix`);
  const press = { number, gender, prefix, ...Defaults };
  for (const option of options) {
    if (option.startsWith('s=')) {
      press.style = option.slice(2);
      if (!knownStyle(press.style)) throw new Error(`press ${number}: the style '${press.style}' is none of this page's (the Style menu lists them)`);
    } else if (option.startsWith('n=')) {
      const count = readCount(option.slice(2));
      if (typeof count === 'string') throw new Error(`press ${number}: the count ${count}`);
      press.count = count;
    } else if (option === 'f') press.full = true;
    else if (option === 'u') press.unique = true;
    else throw new Error(`press ${number}: unknown option '${option}'`);
  }
  return press;
}

// The link's presses, as many as the caps allow (the last ones, said in state.note); the reason
// when the link cannot be shown.
function readLink() {
  state.note = '';
  const parameters = new URLSearchParams(location.hash.slice(1));
  const seed = parameters.get('seed');
  state.seed = seed || String(Math.floor(Date.now() / 1000));
  state.presses = [];
  state.at = 0;
  if (seed) {
    try {
      norvathel.seedOf(seed);
    } catch (error) {
      return `This link's ${error.message}`;
    }
  }
  const linked = parameters.get('learned');
  if (linked !== null) {
    try {
      adopt(norvathel.Style.fromToml(unbase64url(linked), 'the link\'s style'), unbase64url(linked));
    } catch (error) {
      return `This link's learned style cannot be read: ${error.message}`;
    }
  }
  // Links of earlier pages gave the style and count for all presses.
  const style = parameters.get('style');
  if (style !== null && !knownStyle(style)) return `This link's style '${style}' is none of this page's (the Style menu lists them)`;
  const items = (parameters.get('p') ?? parameters.get('boards') ?? 'start').split(',');
  const from = Number(parameters.get('from') ?? 1);
  if (!Number.isSafeInteger(from) || from < 1) return `This link's first press number is not a whole number from 1`;
  let kept = items.length, names = 0;
  // The last presses, back to a cap: their counts are read cheaply before anything else.
  for (let index = items.length - 1; index >= 0; --index) {
    const count = Number(/;n=([0-9]+)/.exec(items[index])?.[1] ?? Defaults.count);
    if (items.length - index > MaxPresses || names + count > MaxLinkNames) break;
    names += count;
    kept = index;
  }
  try {
    state.presses = items.slice(kept).map((item, index) => {
      const press = readItem(item, from + kept + index);
      if (style !== null && !/;s=/.test(item)) press.style = style;
      return press;
    });
  } catch (error) {
    state.presses = [];
    return `This link cannot be shown: ${error.message}`;
  }
  state.at = state.presses.length;
  if (kept > 0) state.note = `This link held ${items.length} presses; the page keeps the last ${items.length - kept} (at most ${MaxPresses}, and ${MaxLinkNames} names in all)`;
  return '';
}

// The controls as the press on screen had them, and its prefix in the box.
function showOptions() {
  const press = current() ?? { prefix: '', ...Defaults };
  $('seed').value = state.seed;
  $('count').value = String(press.count);
  $('unique').checked = press.unique;
  $('style').value = press.style;
  $('full').checked = press.full;
  $('prefix').value = press.prefix;
}

function openLink() {
  clearProblems();
  const problem = readLink();
  showOptions();
  if (problem) {
    state.shown = [];
    render();
    refuse('status', problem);
  } else if (show() && state.note) {
    refuse('status', state.note);
  }
}

// --- your own names ------------------------------------------------------------------------

function base64url(text) {
  let binary = '';
  for (const byte of new TextEncoder().encode(text)) binary += String.fromCharCode(byte);
  return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

function unbase64url(text) {
  const binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
  return new TextDecoder('utf-8', { fatal: true }).decode(Uint8Array.from(binary, (c) => c.charCodeAt(0)));
}

// The learned style in the menu and the panel's buttons.
function adopt(style, toml) {
  learned = { style, toml };
  let option = [...$('style').options].find((entry) => entry.value === LearnedName);
  if (!option) {
    option = new Option('learned (your names)', LearnedName);
    $('style').append(option);
  }
  option.title = style.description;
  $('download-style').disabled = false;
  $('forget').disabled = false;
}

function keep(toml) {
  try {
    if (toml === null) localStorage.removeItem(LearnedKey);
    else localStorage.setItem(LearnedKey, toml);
  } catch {
    // No room or no storage (a private window): the style lasts as long as the page.
  }
}

// Learns the names in the box; the board at once composes in their voice.
function learnNames() {
  clearProblems();
  $('learn-report').textContent = '';
  let result;
  try {
    result = norvathel.learn($('examples').value, { source: 'your names' });
  } catch (error) {
    refuse('examples', error.message);
    return;
  }
  adopt(result.style, result.toml);
  keep(result.toml);
  $('learn-report').textContent = result.report;
  $('style').value = LearnedName;
  press('start');
}

function forget() {
  learned = null;
  keep(null);
  [...$('style').options].find((entry) => entry.value === LearnedName)?.remove();
  if ($('style').value === '') $('style').value = Defaults.style;
  $('download-style').disabled = true;
  $('forget').disabled = true;
  $('learn-report').textContent = '';
  say('Forgot the learned style');
}

function restoreLearned() {
  let toml = null;
  try {
    toml = localStorage.getItem(LearnedKey);
  } catch {
    return;
  }
  if (toml === null) return;
  try {
    adopt(norvathel.Style.fromToml(toml, 'the kept style'), toml);
  } catch {
    keep(null);  // a style this page no longer reads
  }
}

function wireLearning() {
  $('learn').addEventListener('click', learnNames);
  $('forget').addEventListener('click', forget);
  $('download-style').addEventListener('click', () => {
    if (learned) download(LearnedFile, 'application/toml', learned.toml);
  });
  const box = $('examples');
  box.addEventListener('dragover', (event) => { event.preventDefault(); box.classList.add('dropping'); });
  box.addEventListener('dragleave', () => box.classList.remove('dropping'));
  box.addEventListener('drop', async (event) => {
    event.preventDefault();
    box.classList.remove('dropping');
    const file = event.dataTransfer?.files?.[0];
    if (!file) return;
    box.value = await file.text();
    learnNames();
  });
}

// --- wiring --------------------------------------------------------------------------------

function fitWindow() {
  // The window as wide as the screen allows, up to twice its size (the pictures stay crisp:
  // they are drawn pixelated).
  const room = document.documentElement.clientWidth - 24;
  const scale = Math.min(2, room / 294);
  document.documentElement.style.setProperty('--scale', String(scale));
}

// A new seed starts again: its first press, with the options as they are.
function reseed(seed) {
  clearProblems();
  try {
    norvathel.seedOf(seed);
  } catch (error) {
    refuse('seed', error.message);
    return;
  }
  const options = nextOptions();
  if (!options) return;
  const before = { seed: state.seed, presses: state.presses, at: state.at };
  state.seed = seed;
  state.presses = [{ number: 1, gender: 'start', prefix: '', ...options }];
  state.at = 1;
  $('seed').value = seed;
  if (!show()) Object.assign(state, before);
}

function start() {
  const style = $('style');
  for (const known of norvathel.styles) {
    const option = new Option(known.name, known.name);
    option.title = known.description;
    style.append(option);
  }
  restoreLearned();
  wireLearning();
  $('female').addEventListener('click', () => press('female'));
  $('male').addEventListener('click', () => press('male'));
  $('neutral').addEventListener('click', () => press('neutral'));
  $('prefix').addEventListener('keydown', (event) => {
    if (event.key === 'Enter') press(event.altKey ? 'neutral' : event.shiftKey ? 'male' : 'female');
  });
  // Options apply from the next press: what is on screen stays.
  for (const id of ['count', 'unique', 'style', 'full'])
    $(id).addEventListener('change', () => {
      clearProblems();
      if (id === 'count' && typeof readCount($('count').value) === 'string') refuse('count', readCount($('count').value));
      else say('Applies from the next press');
    });
  $('seed').addEventListener('change', () => {
    const seed = $('seed').value.trim();
    if (seed && seed !== state.seed) reseed(seed);
  });
  $('new-seed').addEventListener('click', () => reseed(String(Math.floor(Date.now() / 1000))));
  $('undo').addEventListener('click', undo);
  $('redo').addEventListener('click', redo);
  addEventListener('keydown', (event) => {
    // In a text box, Ctrl+Z is the box's own.
    if (!(event.ctrlKey || event.metaKey) || event.altKey || event.target.matches?.('input[type=text], input[type=number]')) return;
    const key = event.key.toLowerCase();
    if (key === 'z' && !event.shiftKey) undo();
    else if ((key === 'z' && event.shiftKey) || key === 'y') redo();
    else return;
    event.preventDefault();
  });
  $('copy-all').addEventListener('click', () =>
    copy(state.shown.map((e) => e.name).join('\n') + '\n', `Copied ${state.shown.length} names`));
  $('download-csv').addEventListener('click', () => download('norvathel-names.csv', 'text/csv', asCsv()));
  $('download-json').addEventListener('click', () => download('norvathel-names.json', 'application/json', asJson()));
  $('copy-link').addEventListener('click', () => copy(location.href, 'Copied the link'));
  addEventListener('hashchange', () => { if (location.hash !== linkHash()) openLink(); });
  addEventListener('resize', fitWindow);
  fitWindow();
  openLink();
  document.documentElement.dataset.ready = 'true';
}

start();
