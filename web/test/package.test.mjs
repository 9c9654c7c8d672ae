// The tarball as a user gets it: `npm pack` into build/dist, installed into a fresh folder, and
// the README's examples run there as written and type-checked by tsc against the shipped types.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { packageDir, root } from './helpers.mjs';

const dist = join(root, 'build/dist');
const tsc = join(root, 'web/node_modules/typescript/bin/tsc');

function readmeExamples(folder) {
  const readme = readFileSync(join(folder, 'node_modules/norvathel/README.md'), 'utf8');
  return [...readme.matchAll(/```js\n([\s\S]*?)```/g)].map((match) => match[1]);
}

test('the packed tarball installs into a fresh folder and its README examples run as written', () => {
  mkdirSync(dist, { recursive: true });
  const manifest = JSON.parse(readFileSync(join(packageDir, 'package.json'), 'utf8'));
  const name = `norvathel-${manifest.version}.tgz`;
  execFileSync('npm', ['pack', '--silent', '--pack-destination', dist, packageDir], { stdio: 'pipe' });
  assert.ok(readdirSync(dist).includes(name), `${name} in build/dist`);
  assert.equal(manifest.dependencies, undefined, 'no run-time dependencies');

  const folder = mkdtempSync(join(tmpdir(), 'norvathel-install-'));
  try {
    writeFileSync(join(folder, 'package.json'), '{"name":"try-norvathel","private":true,"type":"module"}\n');
    execFileSync('npm', ['install', '--no-audit', '--no-fund', '--offline', join(dist, name)], { cwd: folder, stdio: 'pipe' });
    const examples = readmeExamples(folder);
    assert.equal(examples.length, 6, 'the README shows five uses, and learning a style');
    const outputs = examples.map((code, index) => {
      writeFileSync(join(folder, `example${index + 1}.mjs`), code);
      writeFileSync(join(folder, `example${index + 1}.mts`), code);
      return execFileSync(process.execPath, [`example${index + 1}.mjs`], { cwd: folder }).toString();
    });
    // What the examples' comments promise.
    assert.match(outputs[4], /^learned: 5 names \(2 male, 2 female, 1 either\)\n/);
    assert.match(outputs[5], /^Glicia\n/);
    assert.match(outputs[5], /start,male:ka\n2\n$/);
    assert.match(outputs[3], /^classic: /);
    assert.match(outputs[3], /\nmurmur \[/);
    // The shipped types accept the examples as they stand.
    execFileSync(process.execPath, [tsc, '--noEmit', '--strict', '--target', 'es2022', '--module', 'nodenext',
      '--moduleResolution', 'nodenext', '--lib', 'es2022,dom',
      ...examples.map((_, index) => `example${index + 1}.mts`)], { cwd: folder, stdio: 'pipe' });
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
});

// A consumer written once in TypeScript, compiled for CommonJS and for ES modules, each run.
const consumer = `import { generate, NorvathelError, version } from 'norvathel';
let code = '';
try {
  generate(1, { maxLenght: 4 } as never);
} catch (error) {
  if (error instanceof NorvathelError) code = error.code;
}
console.log(version, generate(3, { seed: 7, style: 'liquid' }).join(' '), code);
`;

test('CommonJS and ES-module consumers of the tarball type-check and run (NodeNext, bundler, commonjs)', () => {
  const manifest = JSON.parse(readFileSync(join(packageDir, 'package.json'), 'utf8'));
  const tarball = join(dist, `norvathel-${manifest.version}.tgz`);
  execFileSync('npm', ['pack', '--silent', '--pack-destination', dist, packageDir], { stdio: 'pipe' });
  const folder = mkdtempSync(join(tmpdir(), 'norvathel-consumers-'));
  const expected = `${manifest.version} ${execFileSync(process.execPath, ['--input-type=module', '-e',
    `import { generate } from ${JSON.stringify(join(packageDir, 'norvathel.js'))}; console.log(generate(3, { seed: 7, style: 'liquid' }).join(' '))`]).toString().trim()} bad-argument\n`;
  const tscIn = (cwd, ...args) => execFileSync(process.execPath, [tsc, '--strict', '--target', 'es2022', '--lib', 'es2022,dom',
    ...args], { cwd, stdio: 'pipe' });
  try {
    // As `npm init -y` leaves it: no "type", so .ts and .js are CommonJS.
    const plain = join(folder, 'plain');
    mkdirSync(plain);
    writeFileSync(join(plain, 'package.json'), '{"name":"plain","version":"1.0.0","main":"index.js"}\n');
    execFileSync('npm', ['install', '--no-audit', '--no-fund', '--offline', tarball], { cwd: plain, stdio: 'pipe' });
    writeFileSync(join(plain, 'index.ts'), consumer);
    writeFileSync(join(plain, 'plain.cjs'), "const { generate } = require('norvathel');\nconsole.log(generate(3, { seed: 7 }).join(' '));\n");
    assert.equal(execFileSync(process.execPath, ['plain.cjs'], { cwd: plain }).toString(),
      execFileSync(process.execPath, ['--input-type=module', '-e',
        `import { generate } from ${JSON.stringify(join(packageDir, 'norvathel.js'))}; console.log(generate(3, { seed: 7 }).join(' '))`]).toString());
    for (const settings of [['--module', 'nodenext', '--moduleResolution', 'nodenext'], ['--module', 'commonjs']]) {
      rmSync(join(plain, 'index.js'), { force: true });
      tscIn(plain, ...settings, 'index.ts');
      assert.match(readFileSync(join(plain, 'index.js'), 'utf8'), /require\("norvathel"\)/, settings.join(' '));
      assert.equal(execFileSync(process.execPath, ['index.js'], { cwd: plain }).toString(), expected, settings.join(' '));
    }
    // An ES-module project: "type": "module", NodeNext, run; and a bundler's view, type-checked.
    const modern = join(folder, 'modern');
    mkdirSync(modern);
    writeFileSync(join(modern, 'package.json'), '{"name":"modern","version":"1.0.0","type":"module"}\n');
    execFileSync('npm', ['install', '--no-audit', '--no-fund', '--offline', tarball], { cwd: modern, stdio: 'pipe' });
    writeFileSync(join(modern, 'index.ts'), consumer);
    tscIn(modern, '--module', 'nodenext', '--moduleResolution', 'nodenext', 'index.ts');
    assert.match(readFileSync(join(modern, 'index.js'), 'utf8'), /^import .* from 'norvathel';/m);
    assert.equal(execFileSync(process.execPath, ['index.js'], { cwd: modern }).toString(), expected);
    tscIn(modern, '--module', 'esnext', '--moduleResolution', 'bundler', '--noEmit', 'index.ts');
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
});

test('the declarations pass tsc, and refuse what the package refuses', () => {
  execFileSync(process.execPath, [tsc, '-p', join(root, 'web/tsconfig.json')], { stdio: 'pipe' });
});
