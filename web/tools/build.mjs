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

function writePackage(target) {
  rmSync(target, { recursive: true, force: true });
  mkdirSync(target, { recursive: true });
  const source = join(web, 'package');
  const manifest = JSON.parse(readFileSync(join(source, 'package.json'), 'utf8'));
  manifest.version = projectVersion;
  writeFileSync(join(target, 'package.json'), JSON.stringify(manifest, null, 2) + '\n');
  writeFileSync(join(target, 'norvathel.js'),
    readFileSync(join(source, 'norvathel.js'), 'utf8').replace('__NORVATHEL_VERSION__', projectVersion));
  writeFileSync(join(target, 'norvathel-wasm.js'), wasmModule);
  for (const file of ['norvathel.d.ts', 'README.md']) copyFileSync(join(source, file), join(target, file));
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
