// Assembles the npm package and the web page from web/ and the WebAssembly module:
//   build/web/package/   the package folder that `npm pack` packs
//   build/web/page/      the static page (scripts/web.sh serves it)
// Usage: node web/tools/build.mjs [wasm file] (default build/wasm/web/norvathel.wasm)
import { copyFileSync, mkdirSync, readFileSync, rmSync, writeFileSync, readdirSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { bmpToPng } from './bmp-to-png.mjs';

const web = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const root = resolve(web, '..');
const wasmFile = resolve(process.argv[2] ?? join(root, 'build/wasm/web/norvathel.wasm'));

// The package's version is the project's: project(norvathel VERSION x.y.z) in CMakeLists.txt.
const projectVersion = readFileSync(join(root, 'CMakeLists.txt'), 'utf8').match(/project\(norvathel VERSION ([0-9.]+)/)[1];

const wasm = readFileSync(wasmFile);
const wasmModule = `// The composer as WebAssembly (${wasm.length} bytes), base64: see norvathel.js.\n` +
  `export default '${wasm.toString('base64')}';\n`;

// The CommonJS entry, from the ES module's text: its es-module parts (the import, the
// top-level awaits) give way to a head that reads the same embedded bytes and compiles them
// synchronously, and its exports become module.exports.
const commonJsHead = `'use strict';
// norvathel for require(): made from norvathel.js by tools/build.mjs, the same code.
const wasmText = require('node:fs').readFileSync(require('node:path').join(__dirname, 'norvathel-wasm.js'), 'latin1');
const wasmSource = wasmText.slice(wasmText.indexOf("'") + 1, wasmText.lastIndexOf("'"));
const randomBytes = globalThis.crypto?.getRandomValues?.bind(globalThis.crypto) ??
  ((array) => require('node:crypto').webcrypto.getRandomValues(array));
const wasmModule = new WebAssembly.Module(Buffer.from(wasmSource, 'base64'));
`;

function commonJs(library) {
  const parts = library.split(/\/\/ <es-module>\n[\s\S]*?\/\/ <\/es-module>\n/);
  if (parts.length !== 3) throw new Error('norvathel.js: expected two es-module parts');
  const names = [];
  const body = (parts[1] + parts[2]).replace(/^export (const|class|function|async function) (\w+)/gm, (_, kind, name) => {
    names.push(name);
    return `${kind} ${name}`;
  });
  if (/^export /m.test(body) || /^import /m.test(body)) throw new Error('norvathel.js: an export or import left for CommonJS');
  return parts[0] + commonJsHead + body + `\nmodule.exports = { ${names.join(', ')} };\n`;
}

function writePackage(target) {
  rmSync(target, { recursive: true, force: true });
  mkdirSync(target, { recursive: true });
  const source = join(web, 'package');
  const manifest = JSON.parse(readFileSync(join(source, 'package.json'), 'utf8'));
  manifest.version = projectVersion;
  writeFileSync(join(target, 'package.json'), JSON.stringify(manifest, null, 2) + '\n');
  const library = readFileSync(join(source, 'norvathel.js'), 'utf8').replace('__NORVATHEL_VERSION__', projectVersion);
  writeFileSync(join(target, 'norvathel.js'), library);
  writeFileSync(join(target, 'norvathel.cjs'), commonJs(library));
  writeFileSync(join(target, 'norvathel-wasm.js'), wasmModule);
  for (const file of ['norvathel.d.ts', 'README.md', 'CHANGES.md']) copyFileSync(join(source, file), join(target, file));
  // The same declarations for require(): TypeScript reads a .d.cts as the CommonJS exports.
  copyFileSync(join(source, 'norvathel.d.ts'), join(target, 'norvathel.d.cts'));
  copyFileSync(join(root, 'LICENSE'), join(target, 'LICENSE'));
}

function writePage(target, packageFolder) {
  rmSync(target, { recursive: true, force: true });
  mkdirSync(target, { recursive: true });
  const source = join(web, 'page');
  for (const file of readdirSync(source)) copyFileSync(join(source, file), join(target, file));
  // The page fetches the module as a binary file: a third smaller than base64, and compressed
  // by any server that compresses.
  copyFileSync(join(packageFolder, 'norvathel.js'), join(target, 'norvathel.js'));
  writeFileSync(join(target, 'norvathel.wasm'), wasm);
  writeFileSync(join(target, 'norvathel-wasm.js'), '// The composer as WebAssembly, fetched beside this file: see norvathel.js.\n' +
    "export default await fetch(new URL('norvathel.wasm', import.meta.url)).then((response) => response.arrayBuffer());\n");
  // The window's own pictures, painted by resources/paint_pictures.py.
  for (const picture of ['board', 'plate'])
    writeFileSync(join(target, `${picture}.png`), bmpToPng(readFileSync(join(root, `resources/${picture}.bmp`))));
}

const packageFolder = join(root, 'build/web/package');
writePackage(packageFolder);
writePage(join(root, 'build/web/page'), packageFolder);
console.log(`norvathel ${projectVersion}: ${packageFolder}, ${join(root, 'build/web/page')}`);
